#include "gui/Pictures.h"

#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/log.h>

namespace {
wxImage readPng(const wxString& path, int width, int height) {
    wxImage image;
    if (wxFileExists(path)) {
        wxLogNull quiet;
        image.LoadFile(path, wxBITMAP_TYPE_PNG);
    }
    if (!image.IsOk()) {
        image.Create(width, height);
        image.InitAlpha();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.SetAlpha(x, y, wxIMAGE_ALPHA_TRANSPARENT);
    }
    return image;
}
} // namespace

wxBitmap loadPicture(const wxString& path, int width, int height) {
    return wxBitmap(readPng(path, width, height));
}

wxBitmap loadMaskedPicture(const wxString& path, int width, int height) {
    wxImage image = readPng(path, width, height);
    if (image.HasAlpha()) image.ConvertAlphaToMask(128);
    return wxBitmap(image);
}
