#include "SerialSetupForm.h"

#include "Fonts.h"
#include "QtText.h"
#include "SerialDevice.h"
#include "VynUtil.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

constexpr const char* kLanguageTable[20] = {
    "Serial port", "Seri\xEBle poort", // caption
    "OK",          "OK",               // ButtonOk
    "Cancel",      "Annuleren",        // ButtonCancel
    "Automatic",   "Automatisch",      // the automatic baud rate
    "Port",        "Poort",            // LabelPort
    "Baudrate",    "Baudrate",         // LabelBaud
    "Databits",    "Databits",         // LabelDatabits
    "Parity",      "Parity",           // LabelParity
    "Stopbits",    "Stopbits",         // LabelStopbits
    "Flow ctrl",   "Flow ctrl",        // LabelFlowctrl
};

constexpr const char* kBaudrates[] = {"1200",  "2400",  "4800",  "9600",
                                      "19200", "38400", "57600", "115200"};
constexpr int kRowPitch = 32;
constexpr int kSettingsHeight = 4 * kRowPitch;

std::function<bool(std::vector<TPortEntry>&)>& PortLister() {
    static std::function<bool(std::vector<TPortEntry>&)> lister;
    return lister;
}

std::string& ProbeFolder() {
    static std::string folder;
    return folder;
}

QStringList Items(std::initializer_list<const char*> texts) {
    QStringList items;
    for (const char* text : texts) {
        items << QString::fromLatin1(text);
    }
    return items;
}

// The other platform family has no device list: every candidate device is
// opened, and it is present when it opens or is in use by somebody else.
std::vector<TPortEntry> ProbePorts() {
    const std::string folder = ProbeFolder().empty() ? "/dev/" : ProbeFolder();
    std::vector<TPortEntry> ports;
    for (int n = 0; n <= 255; ++n) {
        const std::string name = "ttyS" + std::to_string(n);
        TSerialDevice device;
        const TOpenResult result = device.Open(folder + name);
        if (result == TOpenResult::Ok || result == TOpenResult::InUse) {
            ports.push_back({name, {}});
        }
    }
    return ports;
}

bool LessIgnoringCase(const TPortEntry& a, const TPortEntry& b) {
    return std::lexicographical_compare(
        a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

} // namespace

const char* SerialSetupText(int item, int taal) {
    return kLanguageTable[2 * item + std::clamp(taal, 0, 1)];
}

bool EnumeratePorts(std::vector<TPortEntry>& ports) {
    if (PortLister()) {
        return PortLister()(ports);
    }
    return ListSerialPorts(ports);
}

void SetPortListerForTesting(std::function<bool(std::vector<TPortEntry>&)> lister) {
    PortLister() = std::move(lister);
}

void SetProbeFolderForTesting(const std::string& folder) {
    ProbeFolder() = folder;
}

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

long ReadLong(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return errno == ERANGE ? 0 : value;
}

TFormSerialSetup::TFormSerialSetup(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    connect(ButtonOk, &QPushButton::clicked, this, [this] {
        ButtonOkClick();
        done(1);
    });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(2); });
}

void TFormSerialSetup::reject() {
    done(2);
}

void TFormSerialSetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_laidOut) {
        FormShow();
    }
    m_laidOut = false;
}

void TFormSerialSetup::FormShow() {
    m_laidOut = true;
    const auto text = [this](int item) { return ToQString(SerialSetupText(item, Taal)); };
    setWindowTitle(Caption.empty() ? text(0) : ToQString(Caption));
    ButtonCancel->setText(text(2));
    ButtonOk->setText(text(1));
    LabelPort->setText(text(4));
    LabelBaud->setText(text(5));
    LabelDatabits->setText(text(6));
    LabelParity->setText(text(7));
    LabelStopbits->setText(text(8));
    LabelFlowctrl->setText(text(9));

    QSize client = size();
    const auto buttonsUp = [this](int pixels) {
        ButtonOk->move(ButtonOk->x(), ButtonOk->y() - pixels);
        ButtonCancel->move(ButtonCancel->x(), ButtonCancel->y() - pixels);
    };
    if (!ShowBaudrate) {
        LabelBaud->hide();
        ComboBoxBaud->hide();
        client.rheight() -= kRowPitch;
        buttonsUp(kRowPitch);
    }
    if (ShowSettings) {
        const int top = ShowBaudrate ? 80 : 48;
        QComboBox* const boxes[] = {ComboBoxDatabits, ComboBoxParity, ComboBoxStopbits,
                                    ComboBoxFlowctrl};
        QLabel* const labels[] = {LabelDatabits, LabelParity, LabelStopbits, LabelFlowctrl};
        for (int row = 0; row < 4; ++row) {
            boxes[row]->move(boxes[row]->x(), top + row * kRowPitch);
            labels[row]->move(labels[row]->x(), top + row * kRowPitch + 4);
        }
    } else {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 LabelDatabits, ComboBoxDatabits, LabelParity, ComboBoxParity, LabelStopbits,
                 ComboBoxStopbits, LabelFlowctrl, ComboBoxFlowctrl}) {
            w->hide();
        }
        client.rheight() -= kSettingsHeight;
        buttonsUp(kSettingsHeight);
    }
    setFixedSize(client);
    FitLabelsToText(this);

    // Ports: what this platform family can find, sorted as text without
    // regard to case (ttyS10 before ttyS2); the box keeps Port as its text
    // whether or not it is in the list.
    const std::string port = Port;
    ComboBoxPort->clear();
    std::vector<TPortEntry> ports;
    const int platform = GetPlatformId();
    if (platform == 1) {
        ports = ProbePorts();
    } else if (platform == 2) {
        if (!EnumeratePorts(ports)) {
            ports.clear();
        }
    }
    std::stable_sort(ports.begin(), ports.end(), LessIgnoringCase);
    for (const TPortEntry& entry : ports) {
        ComboBoxPort->addItem(ToQString(entry.Name));
        if (!entry.Details.empty()) {
            ComboBoxPort->setItemData(ComboBoxPort->count() - 1, ToQString(entry.Details),
                                      Qt::ToolTipRole);
        }
    }
    ComboBoxPort->setEditText(ToQString(port));

    ComboBoxBaud->clear();
    if (AutoBaudrate) {
        ComboBoxBaud->addItem(text(3));
    }
    for (const char* rate : kBaudrates) {
        ComboBoxBaud->addItem(QString::fromLatin1(rate));
    }
    ComboBoxBaud->setEditText(Baudrate == 0 ? text(3) : QString::number(Baudrate));

    ComboBoxDatabits->clear();
    ComboBoxDatabits->addItems(Items({"7", "8"}));
    ComboBoxDatabits->setEditText(QString::number(Databits));

    ComboBoxParity->clear();
    ComboBoxParity->addItems(Items({"None", "Even", "Odd", "Mark", "Space"}));
    // The list shows even before odd; the numbers are odd 1, even 2.
    static constexpr int kParityItem[5] = {0, 2, 1, 3, 4};
    ComboBoxParity->setCurrentIndex(Parity <= 4 ? kParityItem[Parity] : 0);

    ComboBoxStopbits->clear();
    ComboBoxStopbits->addItems(Items({"1", "1.5", "2"}));
    ComboBoxStopbits->setCurrentIndex(Stopbits == 1 || Stopbits == 2 ? Stopbits : 0);

    ComboBoxFlowctrl->clear();
    ComboBoxFlowctrl->addItems(Items({"None", "Hardware", "Xon/Xoff"}));
    ComboBoxFlowctrl->setCurrentIndex(FlowCtrl == 1 || FlowCtrl == 2 ? FlowCtrl : 0);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TFormSerialSetup::ButtonOkClick() {
    Port = FromQString(ComboBoxPort->currentText());
    Baudrate = ReadLong(FromQString(ComboBoxBaud->currentText()));
    Databits = static_cast<unsigned char>(ReadLong(FromQString(ComboBoxDatabits->currentText())));
    // The parity text must be the item's: a typed text selects nothing.
    const auto selected = [](const QComboBox* box) {
        return box->findText(box->currentText()) == box->currentIndex() ? box->currentIndex() : -1;
    };
    static constexpr unsigned char kParityOfItem[5] = {0, 2, 1, 3, 4};
    const int parityItem = selected(ComboBoxParity);
    Parity = parityItem >= 0 && parityItem <= 4 ? kParityOfItem[parityItem] : 0;
    const int stop = selected(ComboBoxStopbits);
    Stopbits = static_cast<unsigned char>(stop == 1 || stop == 2 ? stop : 0);
    const int flow = selected(ComboBoxFlowctrl);
    FlowCtrl = static_cast<unsigned char>(flow == 1 || flow == 2 ? flow : 0);
}
