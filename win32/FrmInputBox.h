#pragma once

// The input box: a prompt, a one-line text field, OK and Cancel. The answer
// is the text on OK and "" on Cancel, Escape or the close box.

#include <string>

#include "win32/DialogWindow.h"

namespace kloxmere::win32 {

class FrmInputBox final : public DialogWindow {
  public:
    enum : int { IdPrompt = 101, IdText = 102 };

    FrmInputBox(const std::string& prompt, const std::string& title);
    const std::string& Answer() const { return m_answer; }

  protected:
    void Populate() override;
    void OnCommand(int id, int code, HWND control) override;
    void OnShown() override;

  private:
    std::wstring m_prompt;
    std::string m_answer;
};

}  // namespace kloxmere::win32
