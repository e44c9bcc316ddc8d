#include "SerialPorts.h"

#include "QtText.h"

#include <QSerialPortInfo>

bool ListSerialPorts(std::vector<TPortEntry>& ports) {
    ports.clear();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QStringList details;
        if (!info.description().isEmpty()) {
            details << info.description();
        }
        if (!info.manufacturer().isEmpty()) {
            details << QStringLiteral("Manufacturer: ") + info.manufacturer();
        }
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            details << QStringLiteral("USB %1:%2")
                           .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                           .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
        if (!info.serialNumber().isEmpty()) {
            details << QStringLiteral("Serial number: ") + info.serialNumber();
        }
        details << info.systemLocation();
        ports.push_back(
            {FromQString(info.portName()), FromQString(details.join(QLatin1Char('\n')))});
    }
    return true;
}
