#pragma once

// The frame of the program's small windows: a top-level window of fixed
// inner size in twips whose controls are placed in twips and laid out again
// at the window's DPI when it moves to another monitor (WM_DPICHANGED). It is
// created hidden, so that tests can read and drive its controls through their
// messages; RunModal shows it with its owner disabled and runs its own
// message loop, with the keyboard handled as in a dialog box (Tab, Enter for
// the default button, Escape for Cancel), until End is called.

#include <windows.h>

#include <string>
#include <vector>

#include "win32/Dpi.h"
#include "win32/Handles.h"

namespace kloxmere::win32 {

enum class Placement { CentreOnScreen, CentreOnOwner };

struct DialogFrame {
    std::wstring caption;
    int width = 0;  // inner size, twips
    int height = 0;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD extendedStyle = WS_EX_DLGMODALFRAME;
    Placement placement = Placement::CentreOnOwner;
};

class DialogWindow {
  public:
    explicit DialogWindow(DialogFrame frame);
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the window, hidden, with its controls (Populate); `owner` may be
    // null. Throws std::runtime_error when Windows refuses the window.
    void Create(HWND owner);
    HWND hwnd() const { return m_window.get(); }
    UINT dpi() const { return m_dpi; }
    int Pixels(int twips) const { return TwipsToPixels(twips, m_dpi); }

    // Shows the window, disables its owner and runs until End.
    void RunModal();
    void End();
    bool Ended() const { return m_ended; }

    // A control of this window by its id.
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }

  protected:
    // Adds the controls, in tab order, through AddControl.
    virtual void Populate() = 0;
    virtual void OnCommand(int id, int code, HWND control);
    // The close box and Escape; End by default.
    virtual void OnClose() { End(); }
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnShown() {}
    // The default button's id, for Enter; 0 for none.
    virtual int DefaultButton() const { return IDOK; }

    HWND AddControl(const wchar_t* windowClass, const std::wstring& text, DWORD style, int id,
                    TwipsRect twips, DWORD extendedStyle = 0);
    // Places a control again (its twips change with the layout).
    void MoveControl(HWND control, TwipsRect twips);
    HFONT Font() const { return m_font.get(); }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyDpi(UINT dpi);
    SIZE OuterSize(UINT dpi) const;

    struct Placed {
        HWND control;
        TwipsRect twips;
    };

    DialogFrame m_frame;
    WindowHandle m_window;
    HWND m_owner = nullptr;
    UINT m_dpi = kStandardDpi;
    FontHandle m_font;
    std::vector<Placed> m_controls;
    bool m_ended = false;
};

// The message font of Windows at `dpi`.
FontHandle MessageFont(UINT dpi);

}  // namespace kloxmere::win32
