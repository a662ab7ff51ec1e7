#pragma once

// The splash window shown at start-up: the program's icon and name on a
// window without a title bar, centred on the screen. It closes itself 2
// seconds after it is shown, and keeps the busy pointer on meanwhile.

#include "win32/DialogWindow.h"

namespace kloxmere::win32 {

class FrmLogo final : public DialogWindow {
  public:
    static constexpr UINT kUnloadMilliseconds = 2000;

    FrmLogo();

  protected:
    void Populate() override {}
    void OnShown() override;
    void OnClose() override {}
    int DefaultButton() const override { return 0; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc);
};

}  // namespace kloxmere::win32
