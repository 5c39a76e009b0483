#include "device/ReaderDevice.h"

#include <cerrno>

#include "common/errorExc.h"
#include "device/DeviceChooser.h"

namespace {

// The only model the reader device is known not to be built with.
constexpr uint8_t RefusedPartNumber = 1;

void configure(BridgeLibrary& library, SerialLine& handle) {
    uint8_t part = 0;
    if (library.getPartNumber(handle, part) == BridgeLibrary::Success && part == RefusedPartNumber)
        throw errorExc("Неизвестное устройство считывания");

    uint8_t maxPower = 0;
    if (library.getMaxPower(handle, maxPower) != BridgeLibrary::Success)
        throw errorExc("Ошибка функции GetMaxPower()");
    if (maxPower != RequiredMaxPower &&
        library.setMaxPower(handle, RequiredMaxPower) != BridgeLibrary::Success)
        throw errorExc("Ошибка функции SetMaxPower()");

    int32_t selfPower = 0;
    if (library.getSelfPower(handle, selfPower) != BridgeLibrary::Success)
        throw errorExc("Ошибка функции GetSelfPower()");
    if (selfPower != RequiredSelfPower &&
        library.setSelfPower(handle, RequiredSelfPower) != BridgeLibrary::Success)
        throw errorExc("Ошибка функции SetSelfPower()");

    BaudTable table;
    if (library.getBaudRateConfig(handle, table) != BridgeLibrary::Success)
        throw errorExc("Ошибка функции GetBaudRateConfig()");
    bool changed = false;
    auto fix = [&changed](auto& field, auto required) {
        if (field != required) field = required, changed = true;
    };
    for (size_t row = RequiredRowFirst; row <= RequiredRowLast; ++row) {
        fix(table[row].valueA, RequiredBaudRow.valueA);
        fix(table[row].valueB, RequiredBaudRow.valueB);
        fix(table[row].valueC, RequiredBaudRow.valueC);
        fix(table[row].baudRate, RequiredBaudRow.baudRate);
    }
    if (changed && library.setBaudRateConfig(handle, table) != BridgeLibrary::Success)
        throw errorExc("Ошибка функции SetBaudRateConfig()");
}

} // namespace

errorExc cannotOpenPort(long code) {
    std::string remedy;
    switch (code) {
    case EACCES:
    case EPERM:
        remedy = "нет прав на устройство считывания; дайте пользователю доступ правилом udev "
                 "из README и группами dialout и plugdev (sudo usermod -aG dialout,plugdev "
                 "ИМЯ, затем войти в систему заново)";
        break;
    case EBUSY:
        remedy = "устройство считывания занято другой программой; закройте её и повторите";
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        remedy = "устройство считывания отключено; проверьте кабель USB и подключите его заново";
        break;
    default:
        remedy = "проверьте кабель USB и права пользователя на устройство (README)";
    }
    // The detail reads "<the system's reason>: <what to do>".
    return errorExc::withReason(errorExc(kCannotOpenPort, code).message(), systemReason(int(code)),
                                remedy);
}

LineHandle openReaderDevice(BridgeLibrary& library, LinkUi& ui) {
    uint32_t count = 0;
    if (library.getNumDevices(count) != BridgeLibrary::Success) count = 0;
    if (count == 0) throw errorExc("Устройство считывания не обнаружено");

    uint32_t index = 0;
    if (count > 1) {
        DeviceChooser chooser(library, int32_t(count),
                              [&ui](const std::string& message) { ui.error(message); });
        ui.chooseDevice(chooser);
        chooser.finish();
        index = uint32_t(chooser.deviceIndex());
    }

    LineHandle handle;
    if (library.open(index, handle) != BridgeLibrary::Success) {
        // Another read or write holds the line: said at once, not after a time-out.
        if (!handle && library.lastError() == EBUSY)
            throw errorExc("Устройство считывания занято: с ним уже работает другая программа "
                           "или другое окно (USB-порт %ld)",
                           long(index));
        if (!handle) throw cannotOpenPort(library.lastError());
        return handle; // usable, but the library could not prepare it for configuration
    }
    try {
        configure(library, *handle);
    } catch (...) {
        handle->closeHandle();
        throw;
    }
    return handle;
}
