// Every picture the program loads is there, a PNG of the size its place needs,
// drawn with transparency.
#include <wx/image.h>

#include "gui/GuiTest.h"

TEST(Pictures, EveryNamedPictureIsThereWithItsSize) {
    const struct {
        const char* path;
        int width, height;
    } pictures[] = {
        {"bmps/connect.32.png", 32, 32},        {"bmps/open.32.png", 32, 32},
        {"bmps/save.32.png", 32, 32},           {"bmps/print.32.png", 32, 32},
        {"bmps/exit.32.png", 32, 32},           {"bmps/blueball.16.png", 16, 16},
        {"bmps/greenball.16.png", 16, 16},      {"bmps/redball.16.png", 16, 16},
        {"bmps/grayball.16.png", 16, 16},       {"bmps/exit.160.png", 160, 160},
        {"bmps/connect.160.png", 160, 160},     {"bmps/greencheck.32.png", 32, 32},
        {"bmps/redcross.32.png", 32, 32},       {"bmps/blueleftarr.32.png", 32, 32},
        {"bmps/bluerightarr.32.png", 32, 32},   {"bmps/yellowleftarr.32.png", 32, 32},
        {"bmps/yellowrightarr.32.png", 32, 32}, {"bmps/logo.200.png", 200, 160},
    };
    for (const auto& p : pictures) {
        wxImage image;
        ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(p.path), wxBITMAP_TYPE_PNG)) << p.path;
        EXPECT_EQ(image.GetWidth(), p.width) << p.path;
        EXPECT_EQ(image.GetHeight(), p.height) << p.path;
        ASSERT_TRUE(image.HasAlpha()) << p.path;
        EXPECT_EQ(image.GetAlpha(0, 0), wxIMAGE_ALPHA_TRANSPARENT) << p.path;
    }
}
