#include "image/WritableView.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/Text1251.h"
#include "image/BigEndian.h"
#include "image/RecorderImage.h"

namespace {

bool allErased(const uint8_t* p, size_t n) {
    return std::all_of(p, p + n, [](uint8_t b) { return b == 0xFF; });
}

bool storeField(uint8_t* field, size_t size, const std::string& utf8) {
    auto conv = utf8ToCp1251(utf8);
    if (!conv.ok || conv.bytes.size() > size - 1) return false;
    std::memset(field, 0, size);
    std::memcpy(field, conv.bytes.data(), conv.bytes.size());
    return true;
}

}  // namespace

WritableView::WritableView(RecorderImage& image) {
    uint8_t* base = image.page(image.writableFirst());
    const size_t area = size_t(image.writableCount()) * RecorderImage::PageSize;
    textBlock = base;
    commissioningDate = base + 2112;
    installationDate = base + 2116;
    serviceLife = base + 2120;
    mechanismNames = base + 2121;

    unsigned count = image.discreteCount() == 0xFF ? 6 : image.discreteCount();
    const unsigned fit = unsigned((area - 2121 - 1) / NameSlotSize);
    nameCount = std::min(count, fit);
    passportGroup = mechanismNames + NameSlotSize * nameCount;

    if (allErased(textBlock, TextBlockSize)) std::memset(textBlock, 0, TextBlockSize);
    for (unsigned j = 0; j < nameCount; ++j) {
        uint8_t* slot = mechanismNames + NameSlotSize * j;
        if (!allErased(slot, NameSlotSize)) continue;
        std::memset(slot, 0, NameSlotSize);
        char name[NameSlotSize];
        std::snprintf(name, sizeof name, "Механизм №%02u", j + 1);
        storeField(slot, NameSlotSize, name);
    }
}

std::string WritableView::text() const { return cp1251FieldToUtf8(textBlock, TextBlockSize); }

std::string WritableView::mechanismName(unsigned j) const {
    if (j >= nameCount) return {};
    return cp1251FieldToUtf8(mechanismNames + NameSlotSize * j, NameSlotSize);
}

int32_t WritableView::commissioning() const { return readS32LE(commissioningDate); }
int32_t WritableView::installation() const { return readS32LE(installationDate); }
void WritableView::setCommissioning(int32_t t) { writeS32LE(commissioningDate, t); }
void WritableView::setInstallation(int32_t t) { writeS32LE(installationDate, t); }

bool WritableView::setText(const std::string& utf8) {
    return storeField(textBlock, TextBlockSize, utf8);
}

bool WritableView::setMechanismName(unsigned j, const std::string& utf8) {
    if (j >= nameCount) return false;
    return storeField(mechanismNames + NameSlotSize * j, NameSlotSize, utf8);
}
