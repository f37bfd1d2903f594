#include "title_window.h"

#include "module_path.h"
#include "path_join.h"
#include "resource.h"
#include "shell_state.h"

// Read and decoded once, when the window opens; every paint draws it.
static PictureHolder s_titlePicture;

static const UINT_PTR kTitleTimerId = 1;
static const UINT kTitleShowMilliseconds = 2000;
static const int kHimetricPerInch = 2540;

PictureHolder::PictureHolder() : m_pPicture(nullptr) {}

PictureHolder::~PictureHolder()
{
    Release();
}

void PictureHolder::Release()
{
    if (m_pPicture) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
}

HRESULT PictureHolder::LoadFile(const char* path)
{
    const int bytes = lstrlenA(path);
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, path, bytes, nullptr, 0);
    BSTR name = SysAllocStringLen(nullptr, static_cast<UINT>(wideLength));
    if (!name)
        return E_OUTOFMEMORY;
    MultiByteToWideChar(CP_ACP, 0, path, bytes, name, wideLength);

    VARIANT fileName;
    VariantInit(&fileName);
    fileName.vt = VT_BSTR;
    fileName.bstrVal = name;
    HRESULT hr = LoadVariant(fileName);
    SysFreeString(name);
    return hr;
}

// OleLoadPictureFile, or the same file through OleLoadPicturePath where the
// former is not implemented (Wine 8 has it as a stub).
static HRESULT LoadPictureDispatch(const VARIANT& fileName, IDispatch** picture)
{
    *picture = nullptr;
    HRESULT hr = OleLoadPictureFile(fileName, picture);
    if (hr != E_NOTIMPL || fileName.vt != VT_BSTR || !fileName.bstrVal)
        return hr;
    *picture = nullptr;
    return OleLoadPicturePath(fileName.bstrVal, nullptr, 0, 0, IID_IDispatch,
                              reinterpret_cast<void**>(picture));
}

HRESULT PictureHolder::LoadVariant(const VARIANT& fileName)
{
    Release();
    IDispatch* dispatch = nullptr;
    HRESULT hr = LoadPictureDispatch(fileName, &dispatch);
    if (hr != S_OK) {
        if (dispatch)
            dispatch->Release();
        return hr;
    }
    hr = dispatch->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&m_pPicture));
    if (FAILED(hr))
        m_pPicture = nullptr;
    dispatch->Release();
    return hr;
}

LONG PictureHolder::WidthHimetric() const
{
    OLE_XSIZE_HIMETRIC width = 0;
    if (!m_pPicture || FAILED(m_pPicture->get_Width(&width)))
        return 0;
    return width;
}

LONG PictureHolder::HeightHimetric() const
{
    OLE_YSIZE_HIMETRIC height = 0;
    if (!m_pPicture || FAILED(m_pPicture->get_Height(&height)))
        return 0;
    return height;
}

static int ScreenPixelsPerInch(int index)
{
    HDC screen = GetDC(nullptr);
    int perInch = screen ? GetDeviceCaps(screen, index) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return perInch;
}

int PictureHolder::WidthPixels() const
{
    return MulDiv(WidthHimetric(), ScreenPixelsPerInch(LOGPIXELSX), kHimetricPerInch);
}

int PictureHolder::HeightPixels() const
{
    return MulDiv(HeightHimetric(), ScreenPixelsPerInch(LOGPIXELSY), kHimetricPerInch);
}

void PictureHolder::Render(HDC dc, int x, int y, int width, int height) const
{
    if (!m_pPicture)
        return;
    const LONG w = WidthHimetric();
    const LONG h = HeightHimetric();
    // HIMETRIC runs upward: read from the far edge with a negative height.
    m_pPicture->Render(dc, x, y, width, height, 0, h - 1, w, -h, nullptr);
}

static void CentreOnDesktop(HWND window)
{
    RECT desktop;
    RECT own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = (desktop.right - desktop.left - width) / 2;
    const int y = (desktop.bottom - desktop.top - height) / 2;
    SetWindowPos(window, HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
}

static void LoadTitlePicture()
{
    char path[kPathBufferSize];
    ModuleRelativePath("title.gif", path, sizeof(path));
    if (path[0])
        s_titlePicture.LoadFile(path);
    else
        s_titlePicture.Release();
}

static void PaintTitle(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    s_titlePicture.Render(dc, 0, 0, s_titlePicture.WidthPixels(), s_titlePicture.HeightPixels());
    EndPaint(window, &paint);
}

INT_PTR CALLBACK TitleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        g_hTitleWindow = window;
        LoadTitlePicture();
        SetTimer(window, kTitleTimerId, kTitleShowMilliseconds, nullptr);
        CentreOnDesktop(window);
        return TRUE;
    case WM_PAINT:
        PaintTitle(window);
        return TRUE;
    case WM_TIMER:
        DestroyWindow(window);
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        SendMessageA(window, WM_TIMER, 0, 0);
        return TRUE;
    case WM_COMMAND:
        return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
    case WM_DESTROY:
        if (g_hTitleWindow == window)
            g_hTitleWindow = nullptr;
        s_titlePicture.Release();
        return FALSE;
    default:
        return FALSE;
    }
}

HWND CreateTitleWindow(HINSTANCE instance)
{
    HWND window =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_TITLE), nullptr, TitleWindowProc, 0);
    if (window) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}
