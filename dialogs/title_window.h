// The title (splash) window: "title.gif" from the program's folder, centred
// and topmost, gone after 2000 ms or at the first mouse click on it.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

// One OLE picture, owned: released when emptied, reloaded or destroyed.
class PictureHolder {
public:
    PictureHolder();
    virtual ~PictureHolder();
    PictureHolder(const PictureHolder&) = delete;
    PictureHolder& operator=(const PictureHolder&) = delete;

    void Release();
    // path in the ANSI code page; any failure leaves the holder empty.
    HRESULT LoadFile(const char* path);
    // fileName holds a BSTR path.
    HRESULT LoadVariant(const VARIANT& fileName);

    // Size in HIMETRIC (0.01 mm); 0 when empty.
    LONG WidthHimetric() const;
    LONG HeightHimetric() const;
    // Size at the screen's logical pixels per inch; 0 when empty.
    int WidthPixels() const;
    int HeightPixels() const;

    // The whole picture, upright, into the rectangle; nothing when empty.
    void Render(HDC dc, int x, int y, int width, int height) const;

private:
    IPicture* m_pPicture;
};

INT_PTR CALLBACK TitleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the window from its template, shows it and paints it at once.
// Null when it could not be created.
HWND CreateTitleWindow(HINSTANCE instance);
