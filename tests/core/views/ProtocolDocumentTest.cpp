#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

#include "events/GL_records.h"
#include "events/eventList.h"
#include "image/BigEndian.h"
#include "image/RecorderImage.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"
#include "views/ProtocolDocument.h"

namespace {

constexpr int32_t kYear = 365 * 86400;

using Column = CountersColumn;

class Protocol : public ::testing::Test {
protected:
    ScopedTZ zone{"Europe/Moscow"};

    // Service life `years`, installed at `installed`, passport group `group`.
    void make(const std::vector<Column>& cols, const std::vector<uint32_t>& times = {},
              uint8_t years = 10, int32_t installed = 1262304000, uint8_t group = 5) {
        ImageBuilder b(image);
        ImageBuilder::Header h;
        h.groups = uint8_t(cols.size() - 1);
        b.header(h);
        ImageBuilder::Passport p;
        p.serviceLife = years;
        p.installationDate = installed;
        p.passportGroup = group;
        b.passport(p);
        auto t = times;
        t.resize(6, 0);
        b.countersPage(countersBody(cols, t));
        b.done();
    }

    RecorderImage image;
};

TEST_F(Protocol, ColumnsAndEmptyColumnClassification) {
    make({Column{}, Column{}, Column{}});
    std::string html =
        buildProtocolHtml(image, ProtocolPeriod{1262304000 + kYear, 1262304000 + kYear + 1});
    EXPECT_NE(html.find("<TD></TD><TD WIDTH=15%>Группа №1</TD><TD WIDTH=15%>Группа №2</TD>"
                        "<TD WIDTH=15%>Кран в целом</TD><TR>"),
              std::string::npos);
    EXPECT_NE(html.find("<TR><TD>К-т распределения нагрузок Кр</TD><TD>0.000</TD>"),
              std::string::npos);
    EXPECT_NE(html.find("<TR><TD>Режим нагружения</TD><TD>Q1</TD><TD>Q1</TD><TD>Q1</TD>"),
              std::string::npos);
    EXPECT_NE(html.find("<TR><TD>Класс использования</TD><TD>U0</TD>"), std::string::npos);
    EXPECT_NE(html.find("<TR><TD>Группа классификации</TD><TD>A1</TD>"), std::string::npos);
    EXPECT_NE(html.find("<TR><TD>Использованный ресурс</TD><TD>0%</TD>"), std::string::npos);
    EXPECT_TRUE(buildProtocolHtml(image, std::nullopt).empty());
}

TEST_F(Protocol, LoadingModeBounds) {
    const std::pair<float, unsigned> cases[] = {
        {0.124f, 1}, {0.125f, 2}, {0.49f, 3}, {0.5f, 4}, {1.7f, 4}};
    for (auto [kr, q] : cases) {
        Column c;
        c.modes[0] = 100;
        c.spectrum = kr * 100;
        make({c, c});
        auto f = computeProtocol(image, {1262304000 + kYear, 0});
        EXPECT_EQ(f.columns[0].q, q) << kr;
    }
}

TEST_F(Protocol, LifeFactorAndUtilisationClass) {
    Column c;
    c.modes[1] = 5000;
    make({c, c}, {}, 10);
    const int32_t installed = 1262304000;
    // One year observed of ten: F = 10, 5000 cycles project to 50,000: U2.
    auto f = computeProtocol(image, {installed + kYear, 0});
    EXPECT_FLOAT_EQ(f.lifeFactor, 10.0f);
    EXPECT_EQ(f.columns[0].u, 2u);
    // F = 1: a period longer than the service life, installation after the last event, no period.
    EXPECT_FLOAT_EQ(computeProtocol(image, {installed + 20 * kYear, 0}).lifeFactor, 1.0f);
    EXPECT_FLOAT_EQ(computeProtocol(image, {installed - 100, 0}).lifeFactor, 1.0f);
    EXPECT_FLOAT_EQ(computeProtocol(image, {installed, 0}).lifeFactor, 1.0f);
}

TEST_F(Protocol, ErasedServiceLifeDoesNotOverflow) {
    Column c;
    c.modes[0] = 1;
    make({c, c}, {}, 255);
    auto f = computeProtocol(image, {1262304000 + kYear, 0});
    EXPECT_FLOAT_EQ(f.lifeFactor, 255.0f); // 32-bit arithmetic would have wrapped negative
}

TEST_F(Protocol, UsedResource) {
    Column c;
    c.modes[1] = 60000;
    c.spectrum = 0.2f * 60000; // Q2
    make({c, c}, {}, 10, 1262304000, 5);
    auto f = computeProtocol(image, {1262304000 + kYear, 0});
    EXPECT_EQ(f.columns[0].q, 2u);
    EXPECT_FLOAT_EQ(f.columns[0].usedResource, 100.0f); // 120% limited
    make({c, c}, {}, 5, 1262304000, 5);
    f = computeProtocol(image, {1262304000 + kYear, 0});
    EXPECT_FLOAT_EQ(f.columns[0].usedResource, 60.0f);
}

TEST_F(Protocol, OperatingTimeForms) {
    EXPECT_EQ(operatingTimeText(3599), "3599 сек</TD>");
    EXPECT_EQ(operatingTimeText(3600), "1.00 ч</TD>");
    EXPECT_EQ(operatingTimeText(35999), "10.00 ч</TD>");
    EXPECT_EQ(operatingTimeText(36000), "10 ч</TD>");
    make({Column{}, Column{}}, {3599, 36000});
    std::string html =
        buildProtocolHtml(image, ProtocolPeriod{1262304000 + kYear, 1262304000 + kYear + 1});
    EXPECT_NE(html.find("<TD WIDTH=70%>Главный подъём</TD><TD>3599 сек</TD><TR>"
                        "<TD WIDTH=70%>Вспом. подъём</TD><TD>10 ч</TD><TR>"),
              std::string::npos);
}

// Counters never written are no figures: every cell of the cycle table and
// every operating time says so, and the rest of the document stands.
TEST_F(Protocol, ErasedCountersShowNoData) {
    ImageBuilder b(image);
    b.header().passport({}).done(); // no counters page written
    ASSERT_EQ(image.countersSeq(), 0xFF);
    std::string html =
        buildProtocolHtml(image, ProtocolPeriod{1262304000 + kYear, 1262304000 + kYear + 1});
    for (const char* label :
         {"Общее кол-во циклов", "В режиме Q4", "К-т распределения нагрузок Кр", "Режим нагружения",
          "Класс использования", "Группа классификации", "Использованный ресурс"}) {
        EXPECT_NE(html.find(std::string("<TR><TD>") + label +
                            "</TD><TD>нет данных</TD><TD>нет данных</TD>"),
                  std::string::npos)
            << label;
    }
    EXPECT_NE(html.find("</TD><TD>нет данных</TD><TR>"), std::string::npos);
    for (const char* figure : {"4294967", "nan", "1193046", ">100%<", ">Q4<", ">U9<", ">A8<"})
        EXPECT_EQ(html.find(figure), std::string::npos) << figure;
    EXPECT_NE(html.find("Паспортная группа классификации"), std::string::npos);
    EXPECT_FALSE(computeProtocol(image, {1262304000, 0}).countersWritten);
}

TEST_F(Protocol, DatesTextsAndEscaping) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.firmware = "v<2>";
    b.header(h);
    ImageBuilder::Passport p;
    p.text = "Кран <№5> & тележка";
    p.commissioningDate = 0;
    p.installationDate = 1204675449; // 05/03/2008 03:04:09 Moscow
    b.passport(p).done();
    std::string html = buildProtocolHtml(image, ProtocolPeriod{1204675449, 1204675450});
    EXPECT_NE(
        html.find("<H2 ALIGN=CENTER><FONT SIZE=\"-1\">Протокол условий эксплуатации крана<BR>от "
                  "05/03/2008 03:04</FONT></H2>"),
        std::string::npos);
    EXPECT_NE(html.find("Дата ввода в крана в эксплуатацию</TD><TD WIDTH=20%><B>01/01/1970</B>"),
              std::string::npos);
    EXPECT_NE(html.find("<PRE>Кран &lt;№5&gt; &amp; тележка</PRE>"), std::string::npos);
    EXPECT_NE(html.find("<B>v&lt;2&gt;</B>"), std::string::npos);
    EXPECT_NE(html.find("<B>A5</B>"), std::string::npos);
    EXPECT_EQ(html.rfind("</BODY></HTML>"), html.size() - 14);
}

TEST_F(Protocol, AbsurdCountsOnTheLastCountersPageStayInsideTheImage) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.groups = 255;
    h.discretes = 0xFF;
    h.countersPages = RecorderImage::MaxCountersCount; // counters reach page 8190
    b.header(h);
    for (uint32_t i = 0; i < RecorderImage::MaxCountersCount; ++i)
        b.countersPage({});
    b.done();
    ASSERT_EQ(image.countersHead(), 8190u);
    auto f = computeProtocol(image, {1262304000, 0});
    EXPECT_EQ(f.columns.size(), 256u);
    EXPECT_EQ(f.operatingSeconds.size(), 6u);
    EXPECT_FALSE(buildProtocolHtml(image, ProtocolPeriod{1262304000, 1262304001}).empty());
}

// The period comes from the event appended last, whatever the times of the
// others (the recorder's clock may have been set back).
TEST(ProtocolPeriod, TakenFromTheLastEventOfTheList) {
    eventList events;
    EXPECT_FALSE(protocolPeriodOf(events).has_value());
    for (int32_t seconds : {1000, 5000, 3000}) {
        appendEvent<GL_powerOn>(events, seconds);
    }
    auto period = protocolPeriodOf(events);
    ASSERT_TRUE(period.has_value());
    EXPECT_EQ(period->lastEventSeconds, 3000);
    EXPECT_EQ(period->endSeconds, events.endSeconds);
    events.clear();
    EXPECT_FALSE(protocolPeriodOf(events).has_value());
}

} // namespace
