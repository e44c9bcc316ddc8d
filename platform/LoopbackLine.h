#pragma once
/// \file LoopbackLine.h
/// A serial line whose far end sends back every byte it receives: a
/// pseudo-terminal whose master side echoes, for demonstrations and trying a
/// port without hardware. The near end is opened by its path, like any
/// serial device. Echoing runs on the thread that created the line, from its
/// event loop.

#include "VynExport.h"

#include <QObject>

#include <string>

class QSocketNotifier;

/// A pseudo-terminal that echoes; see the file's description.
class VYN_EXPORT TLoopbackLine : public QObject {
    Q_OBJECT

public:
    /// Makes the line and starts echoing; IsOpen() says whether it exists.
    explicit TLoopbackLine(QObject* parent = nullptr);
    /// Closes both ends: a port open on the line then finds it gone.
    ~TLoopbackLine() override;

    TLoopbackLine(const TLoopbackLine&) = delete;
    TLoopbackLine& operator=(const TLoopbackLine&) = delete;

    /// False when the system gave no pseudo-terminal.
    bool IsOpen() const { return m_master >= 0; }
    /// The path a serial port opens (/dev/pts/N).
    const std::string& Path() const { return m_path; }
    /// Bytes echoed so far.
    long long Echoed() const { return m_echoed; }

private:
    void Echo();

    int m_master = -1;
    int m_slave = -1; ///< kept open so the line stays up between users
    std::string m_path;
    long long m_echoed = 0;
    QSocketNotifier* m_notifier = nullptr;
};
