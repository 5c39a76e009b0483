#pragma once
// Pictures are PNG files under bmps/, relative to the working directory. The
// window must build even when one is missing, so a missing or unreadable file
// gives a transparent picture of the size the caller expects.
#include <wx/bitmap.h>
#include <wx/string.h>

wxBitmap loadPicture(const wxString& path, int width, int height);

// The same, with the alpha channel turned into a mask (alpha below 128 becomes
// transparent): for the places that draw through a mask (tab images, the exit
// dialog's picture).
wxBitmap loadMaskedPicture(const wxString& path, int width, int height);
