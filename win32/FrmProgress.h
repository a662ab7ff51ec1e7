#pragma once

// The progress window: a status line and a bar from 0 to 100, centred on the
// screen, with no close box (the scan decides when it goes).

#include <cstdint>
#include <optional>
#include <string>

#include "win32/DialogWindow.h"

namespace kloxmere::win32 {

class FrmProgress final : public DialogWindow {
  public:
    enum : int { IdStatus = 101, IdProgress = 102 };

    FrmProgress();

    void SetCaption(const std::string& caption);
    void SetStatus(const std::string& text);
    // Sets the bar; no events are processed here (RefreshForm does that).
    void Update(std::int32_t value, std::int32_t max);
    // Lets pending window events run, so that the window repaints.
    static void RefreshForm();

  protected:
    void Populate() override;
    void OnClose() override {}  // the user cannot close it
    int DefaultButton() const override { return 0; }
};

}  // namespace kloxmere::win32
