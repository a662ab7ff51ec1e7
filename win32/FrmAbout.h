#pragma once

// The About window: the program's icon, name and version, a notice, the
// credits in a read-only text field, two links (the manual and the user's
// own files, each shown only where it exists) and OK.

#include <string>

#include "win32/DialogWindow.h"

namespace kloxmere {
class PlatformServices;
}

namespace kloxmere::win32 {

struct AboutLinks {
    std::string manual;     // a file or folder to open; "" hides the link
    std::string userFiles;  // the user data directory; "" hides the link
    // The links of this program, for `userDataDirectory`.
    static AboutLinks ForThisProgram(const std::string& userDataDirectory);
};

class FrmAbout final : public DialogWindow {
  public:
    enum : int {
        IdImage1 = 101,
        IdLblName,
        IdLblNotice,
        IdTxtInfo,
        IdLabel1,
        IdLabel4,
    };

    // The links open through `services` (its Launch).
    FrmAbout(AboutLinks links, PlatformServices& services);

  protected:
    void Populate() override;
    void OnShown() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    AboutLinks m_links;
    PlatformServices& m_services;
    FontHandle m_bold;
    IconHandle m_icon;
};

}  // namespace kloxmere::win32
