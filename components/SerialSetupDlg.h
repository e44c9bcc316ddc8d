#pragma once
/// \class TSerialSetupDlg SerialSetupDlg.h <vyn/SerialSetupDlg.h>
/// TSerialSetupDlg: lets the user pick a serial port and its line settings in
/// a small modal window, in English (Taal 0) or Dutch (1). Fill the
/// properties, call Execute, and read them back when it returns true. The
/// window lives only during Execute. It does not refer to TVynSerialPort: an
/// owner copies values between the two (note that FlowCtrl numbers differ:
/// here 1 is hardware and 2 XON/XOFF). GUI thread only.

#include "QtText.h"
#include "VynExport.h"

#include <QObject>

#include <string>

class VYN_EXPORT TSerialSetupDlg : public QObject {
    Q_OBJECT
    // The published properties, for Qt's property system: each reads and
    // writes its field (Port and Caption as Windows-1252 text).
    Q_PROPERTY(int Taal MEMBER Taal)
    Q_PROPERTY(QString Port READ PortProperty WRITE SetPortProperty)
    Q_PROPERTY(int Baudrate READ BaudrateProperty WRITE SetBaudrateProperty)
    Q_PROPERTY(int Databits READ DatabitsProperty WRITE SetDatabitsProperty)
    Q_PROPERTY(int Parity READ ParityProperty WRITE SetParityProperty)
    Q_PROPERTY(int Stopbits READ StopbitsProperty WRITE SetStopbitsProperty)
    Q_PROPERTY(int FlowCtrl READ FlowCtrlProperty WRITE SetFlowCtrlProperty)
    Q_PROPERTY(bool ShowBaudrate MEMBER ShowBaudrate)
    Q_PROPERTY(bool ShowSettings MEMBER ShowSettings)
    Q_PROPERTY(bool AutoBaudrate MEMBER AutoBaudrate)
    Q_PROPERTY(QString Caption READ CaptionProperty WRITE SetCaptionProperty)

public:
    /// A dialog with the default properties; it shows nothing until Execute.
    explicit TSerialSetupDlg(QObject* owner = nullptr);

    // Published properties: what the window starts with, and after OK what
    // the user chose.
    int Taal = 0;               ///< the language: 0 English, 1 Dutch
    std::string Port;           ///< a device name such as ttyUSB0 (Windows-1252)
    long Baudrate = 9600;       ///< 0: automatic
    unsigned char Databits = 8; ///< 7 or 8
    unsigned char Parity = 0;   ///< 0 none, 1 odd, 2 even, 3 mark, 4 space
    unsigned char Stopbits = 0; ///< 0 one, 1 one and a half, 2 two
    unsigned char FlowCtrl = 0; ///< 0 none, 1 hardware, 2 XON/XOFF
    bool ShowBaudrate = true;   ///< the baud-rate row is shown
    bool ShowSettings = false;  ///< the four line-setting rows are shown
    bool AutoBaudrate = false;  ///< the baud rates offer "automatic" (0)
    std::string Caption;        ///< empty: "Serial port" / "Seriële poort"

    ///@{
    /// The accessors of the Qt properties that are no plain fields: texts
    /// as QString, the numbers as int. They touch only the fields.
    QString PortProperty() const { return ToQString(Port); }
    void SetPortProperty(const QString& port) { Port = FromQString(port); }
    int BaudrateProperty() const { return static_cast<int>(Baudrate); }
    void SetBaudrateProperty(int value) { Baudrate = value; }
    int DatabitsProperty() const { return Databits; }
    void SetDatabitsProperty(int value) { Databits = static_cast<unsigned char>(value); }
    int ParityProperty() const { return Parity; }
    void SetParityProperty(int value) { Parity = static_cast<unsigned char>(value); }
    int StopbitsProperty() const { return Stopbits; }
    void SetStopbitsProperty(int value) { Stopbits = static_cast<unsigned char>(value); }
    int FlowCtrlProperty() const { return FlowCtrl; }
    void SetFlowCtrlProperty(int value) { FlowCtrl = static_cast<unsigned char>(value); }
    QString CaptionProperty() const { return ToQString(Caption); }
    void SetCaptionProperty(const QString& caption) { Caption = FromQString(caption); }
    ///@}

    /// Shows the window modally; true when the user left it with OK. Taal is
    /// clamped to 0..1 and stays so. After Cancel every property keeps its
    /// value. An exception inside is caught: the window is gone and the
    /// result is false.
    bool Execute();
};
