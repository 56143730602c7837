#include "app/about_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/colour_cycle.h"
#include "resource_ids.h"

namespace tolvane {
namespace {

constexpr char HomeAddress[] = "https://tolvane.example.org/";
constexpr char DonationAddress[] = "https://www.paypal.com/donate/?business=donate%40tolvane.example.org";
constexpr char OpenQuestion[] = "Do you want to open the url with your default browser?";
constexpr COLORREF LinkColour = RGB(0, 0, 255);
constexpr COLORREF DonationsColour = RGB(0, 100, 0);

constexpr char LicenseText[] =
    "Tolvane is free to use, for private and commercial purposes, and may be passed on freely as long as "
    "it is passed on whole and unchanged and no money is asked for it.\r\n\r\n"
    "The program is provided as it is, without warranty of any kind, express or implied. In no event shall "
    "its authors be liable for any damage or loss of data arising from its use or from the inability to "
    "use it. You use it at your own risk.\r\n\r\n"
    "Copying, moving and deleting files cannot be undone by this program: keep a backup of what matters to you.";

// Objects of the one About box open at a time.
struct AboutBox {
    HBRUSH faceBrush = nullptr;
    HBRUSH windowBrush = nullptr;
    HFONT linkFont = nullptr;
    HFONT captionFont = nullptr;
    HWND tabs = nullptr;
    HWND pages[3] = {};
    // The credit caption is drawn straight into the control on each tick.
    HWND creditWindow = nullptr;
    HDC creditDc = nullptr;
    HGDIOBJ creditOldFont = nullptr;
    RECT creditRect{};
    ColourCycle colour;
};
AboutBox about;

HFONT CreateAboutFont(bool underlined)
{
    return CreateFontA(13, 0, 0, 0, FW_DONTCARE, FALSE, underlined ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       "MS Sans Serif");
}

void OpenAddress(HWND owner, const char* address, const char* caption)
{
    if (ShowMessage(owner, OpenQuestion, caption, MB_YESNO) == IDYES)
        ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR TransparentStatic(HDC dc, HBRUSH brush, COLORREF* textColour = nullptr)
{
    if (textColour) SetTextColor(dc, *textColour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(brush);
}

void DrawCredit()
{
    if (!about.creditDc) return;
    SetBkColor(about.creditDc, RGB(about.colour.red, about.colour.green, about.colour.blue));
    DrawTextA(about.creditDc, CreditCaption, sizeof CreditCaption - 1, &about.creditRect, DT_SINGLELINE | DT_NOCLIP);
}

void StartCredit(HWND page)
{
    about.creditWindow = GetDlgItem(page, IDC_ABOUT_CREDIT);
    about.creditDc = GetDC(about.creditWindow);
    GetClientRect(about.creditWindow, &about.creditRect);
    about.creditOldFont = SelectObject(about.creditDc, about.captionFont);
    SetTextColor(about.creditDc, RGB(255, 255, 255));
    SetBkMode(about.creditDc, OPAQUE);
    about.colour = ColourCycle{};
    SetTimer(page, CreditTimerId, 100, nullptr);
}

void StopCredit(HWND page)
{
    KillTimer(page, CreditTimerId);
    if (about.creditDc) {
        SelectObject(about.creditDc, about.creditOldFont);
        ReleaseDC(about.creditWindow, about.creditDc);
    }
    about.creditDc = nullptr;
}

INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(page, IDC_ABOUT_HOME_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(about.linkFont), FALSE);
        StartCredit(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_HOME_LINK && HIWORD(wParam) == STN_CLICKED)
            OpenAddress(page, HomeAddress, HomeAddress);
        return TRUE;
    case WM_TIMER:
        if (wParam == CreditTimerId) {
            if (StepColourCycle(about.colour)) DrawCredit();
            else KillTimer(page, CreditTimerId);
        }
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        COLORREF link = LinkColour;
        const bool isLink = reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_ABOUT_HOME_LINK);
        return TransparentStatic(reinterpret_cast<HDC>(wParam), about.faceBrush, isLink ? &link : nullptr);
    }
    case WM_DESTROY: StopCredit(page); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK ThanksPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(page, IDC_ABOUT_DONATE_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(about.linkFont),
                            FALSE);
        SetDlgItemTextA(page, IDC_ABOUT_DONATIONS, "no donation yet :(\r\n\r\nanyway, thanks!");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_DONATE_LINK && HIWORD(wParam) == STN_CLICKED)
            OpenAddress(page, DonationAddress, "Confirm to open the PayPal donation page");
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        const auto control = reinterpret_cast<HWND>(lParam);
        const auto dc = reinterpret_cast<HDC>(wParam);
        COLORREF colour = LinkColour;
        if (control == GetDlgItem(page, IDC_ABOUT_DONATE_LINK)) return TransparentStatic(dc, about.faceBrush, &colour);
        colour = DonationsColour;
        if (control == GetDlgItem(page, IDC_ABOUT_DONATIONS)) return TransparentStatic(dc, about.windowBrush, &colour);
        return TransparentStatic(dc, about.faceBrush);
    }
    default: return FALSE;
    }
}

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(page, IDC_ABOUT_LICENSE_TEXT, LicenseText);
        return TRUE;  // the hidden "focus" button takes the focus, so the text opens unselected
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_ABOUT_LICENSE_TEXT)) {
            COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
            return TransparentStatic(dc, about.windowBrush, &colour);
        }
        return TransparentStatic(dc, about.faceBrush);
    }
    default: return FALSE;
    }
}

void ShowSelectedPage()
{
    const auto selected = static_cast<int>(SendMessageA(about.tabs, TCM_GETCURSEL, 0, 0));
    for (HWND page : about.pages) ShowWindow(page, SW_HIDE);
    if (selected >= 0 && selected < 3) ShowWindow(about.pages[selected], SW_SHOW);
}

void OpenAbout(HWND dialog)
{
    about.faceBrush = GetSysColorBrush(COLOR_3DFACE);
    about.windowBrush = GetSysColorBrush(COLOR_WINDOW);
    about.linkFont = CreateAboutFont(true);
    about.captionFont = CreateAboutFont(false);
    about.tabs = GetDlgItem(dialog, IDC_ABOUT_TABS);

    static const int templates[3] = {IDD_ABOUT_VERSION, IDD_ABOUT_THANKS, IDD_ABOUT_LICENSE};
    static const DLGPROC procedures[3] = {VersionPageProc, ThanksPageProc, LicensePageProc};
    static const char* const titles[3] = {"version", "thanks", "license agreement"};
    for (int page = 0; page < 3; ++page)
        about.pages[page] =
            CreateDialogParamA(appInstance, MAKEINTRESOURCEA(templates[page]), dialog, procedures[page], 0);
    for (int page = 0; page < 3; ++page) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(titles[page]);
        SendMessageA(about.tabs, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
    }

    RECT client{};
    GetClientRect(about.tabs, &client);
    for (HWND page : about.pages)
        SetWindowPos(page, nullptr, 1, 22, client.right - 4, client.bottom - 25, SWP_NOZORDER);

    NMHDR change{about.tabs, IDC_ABOUT_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(dialog, WM_NOTIFY, IDC_ABOUT_TABS, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OpenAbout(dialog); return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_ABOUT_TABS && header->code == static_cast<UINT>(TCN_SELCHANGE)) ShowSelectedPage();
        return TRUE;
    }
    case WM_COMMAND: return TRUE;  // Esc (IDCANCEL) does not close the box
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_DESTROY:
        // The pages go first: the version page still holds the caption font.
        for (HWND& page : about.pages) {
            if (page) DestroyWindow(page);
            page = nullptr;
        }
        if (about.linkFont) DeleteObject(about.linkFont);
        if (about.captionFont) DeleteObject(about.captionFont);
        about.linkFont = about.captionFont = nullptr;
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
