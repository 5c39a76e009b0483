#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "events/GL_records.h"
#include "events/Registries.h"
#include "events/SL_records2.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"

namespace {

template <class Registry, class P> std::vector<std::string> names(const Registry& r) {
    std::vector<std::string> v;
    for (const P* p = r.front(); p; p = Registry::after(p))
        v.push_back(p->className());
    return v;
}

TEST(Registries, PrototypesStandInTheirOrderWithTheCatchAllLast) {
    GL_pList gl;
    EXPECT_EQ((names<GL_pList, GL_parser>(gl)),
              (std::vector<std::string>{"GL_powerOn", "GL_powerOff", "GL_sensorLoad",
                                        "GL_groupLoad", "GL_state", "GL_cycleStart", "GL_cycleStop",
                                        "GL_consoleMode", "GL_sensFail", "GL_sensOK",
                                        "GL_channelState", "GL_downloaderState", "GL_unknown"}));
    // Settings prototypes in the order of their type codes 1 to 39.
    SL_pList sl;
    std::array<uint8_t, 26> record{};
    int code = 1;
    for (const SL_parser* p = sl.front(); p; p = SL_pList::after(p), ++code) {
        record[16] = uint8_t(code);
        if (code == 40) {
            EXPECT_STREQ(p->className(), "SL_unknown");
            EXPECT_EQ(SL_pList::after(p), nullptr);
        } else {
            EXPECT_TRUE(p->accepts(record.data())) << p->className();
            EXPECT_EQ(sl.find(record.data()), p) << p->className();
        }
    }
    EXPECT_EQ(code, 41);
}

// Every type refuses to fill an object of another class, naming itself, and
// fills one of its own class in place.
TEST(Registries, ParseIntoChecksTheClass) {
    ScopedTZ tz("UTC");
    RecorderImage image;
    ImageBuilder(image).header();
    std::array<uint8_t, 26> record{};
    const Stamp stamp(2010, 1, 1, 0, 0, 0);

    GL_pList gl;
    for (const GL_parser* p = gl.front(); p; p = GL_pList::after(p)) {
        GL_parser other;
        EXPECT_EQ(
            errorMessageOf([&] { p->parse(record.data(), image, stamp.bytes.data(), &other); }),
            std::string("Ошибка преобразования типа в функции ") + p->className() + "::parse()");
        std::unique_ptr<GL_parser> own(p->parse(record.data(), image, stamp.bytes.data(), nullptr));
        EXPECT_EQ(p->parse(record.data(), image, stamp.bytes.data(), own.get()), own.get());
    }
    SL_pList sl;
    for (const SL_parser* p = sl.front(); p; p = SL_pList::after(p)) {
        SL_parser other;
        EXPECT_EQ(errorMessageOf([&] { p->parse(record.data(), image, &other); }),
                  std::string("Ошибка преобразования типа в функции ") + p->className() +
                      "::parse()");
        std::unique_ptr<SL_parser> own(p->parse(record.data(), image, nullptr));
        EXPECT_EQ(p->parse(record.data(), image, own.get()), own.get());
    }
}

TEST(Registries, BaseClassesDescribeThemselves) {
    EXPECT_EQ(genericParser().describe(), "genericParser");
    EXPECT_EQ(GL_parser().describe(), "");
    SL_parser s;
    s.keyCell = 255;
    EXPECT_EQ(s.describe(), "(ключ не зарегистрирован)");
    s.keyCell = 0;
    EXPECT_EQ(s.describe(), "(ключ из ячейки 1)");
    EXPECT_FALSE(genericParser().accepts(std::array<uint8_t, 26>{}.data()));
}

} // namespace
