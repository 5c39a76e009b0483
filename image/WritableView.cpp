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

std::string defaultName(unsigned j) {
    char name[PassportLayout::NameSlotSize];
    std::snprintf(name, sizeof name, "Механизм №%02u", j + 1);
    return name;
}

bool storeField(uint8_t* field, size_t size, const std::string& utf8) {
    auto conv = utf8ToCp1251(utf8);
    if (!conv.ok || conv.bytes.size() > size - 1) return false;
    std::memset(field, 0, size);
    std::memcpy(field, conv.bytes.data(), conv.bytes.size());
    return true;
}

std::string readText(const uint8_t* block) {
    if (allErased(block, PassportLayout::TextBlockSize)) return {};
    return cp1251FieldToUtf8(block, PassportLayout::TextBlockSize);
}

std::string readName(const uint8_t* names, unsigned count, unsigned j) {
    if (j >= count) return {};
    const uint8_t* slot = names + PassportLayout::NameSlotSize * j;
    if (allErased(slot, PassportLayout::NameSlotSize)) return defaultName(j);
    return cp1251FieldToUtf8(slot, PassportLayout::NameSlotSize);
}

} // namespace

PassportLayout::PassportLayout(const RecorderImage& image) {
    const size_t area = size_t(image.writableCount()) * RecorderImage::PageSize;
    const unsigned count = image.discreteCount() == 0xFF ? 6 : image.discreteCount();
    const unsigned fit = unsigned((area - NamesOffset - 1) / NameSlotSize);
    nameCount = std::min(count, fit);
    groupOffset = NamesOffset + NameSlotSize * nameCount;
}

template <class Byte>
PassportFields<Byte>::PassportFields(const RecorderImage& image, Byte* base)
    : PassportLayout(image), textBlock(base), commissioningDate(base + CommissioningOffset),
      installationDate(base + InstallationOffset), serviceLife(base + ServiceLifeOffset),
      mechanismNames(base + NamesOffset), passportGroup(base + groupOffset) {}

template <class Byte> std::string PassportFields<Byte>::text() const {
    return readText(textBlock);
}
template <class Byte> std::string PassportFields<Byte>::mechanismName(unsigned j) const {
    return readName(mechanismNames, nameCount, j);
}
template <class Byte> int32_t PassportFields<Byte>::commissioning() const {
    return readS32LE(commissioningDate);
}
template <class Byte> int32_t PassportFields<Byte>::installation() const {
    return readS32LE(installationDate);
}

template class PassportFields<const uint8_t>;
template class PassportFields<uint8_t>;

PassportView::PassportView(const RecorderImage& image)
    : PassportFields(image, image.page(image.writableFirst())) {}

void applyPassportDefaults(RecorderImage& image) {
    const PassportLayout layout(image);
    uint8_t* base = image.page(image.writableFirst());
    if (allErased(base, PassportLayout::TextBlockSize))
        std::memset(base, 0, PassportLayout::TextBlockSize);
    for (unsigned j = 0; j < layout.nameCount; ++j) {
        uint8_t* slot = base + PassportLayout::NamesOffset + PassportLayout::NameSlotSize * j;
        if (!allErased(slot, PassportLayout::NameSlotSize)) continue;
        std::memset(slot, 0, PassportLayout::NameSlotSize);
        storeField(slot, PassportLayout::NameSlotSize, defaultName(j));
    }
}

// The defaults go in first: the layout is the same before and after.
WritableView::WritableView(RecorderImage& image)
    : PassportFields((applyPassportDefaults(image), image), image.page(image.writableFirst())) {}

void WritableView::setCommissioning(int32_t t) {
    writeS32LE(commissioningDate, t);
}
void WritableView::setInstallation(int32_t t) {
    writeS32LE(installationDate, t);
}

bool WritableView::setText(const std::string& utf8) {
    return storeField(textBlock, TextBlockSize, utf8);
}

bool WritableView::setMechanismName(unsigned j, const std::string& utf8) {
    if (j >= nameCount) return false;
    return storeField(mechanismNames + NameSlotSize * j, NameSlotSize, utf8);
}
