#pragma once
// A pseudo-terminal pair for serial tests: the test talks on the master side,
// the code under test opens the slave by its path.

#include <pty.h>
#include <string>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_path = name;
            // Raw on both ends: bytes pass unchanged.
            termios tio{};
            ::tcgetattr(m_master, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(m_master, TCSANOW, &tio);
        }
    }
    ~PtyPair() {
        CloseSlave();
        CloseMaster();
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& SlavePath() const { return m_path; }
    int Master() const { return m_master; }
    // The slave end the pair holds itself; closing it leaves only the user's.
    void CloseSlave() {
        if (m_slave >= 0) {
            ::close(m_slave);
            m_slave = -1;
        }
    }
    void CloseMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
