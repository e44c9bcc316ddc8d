#include "SerialDevice.h"

#include "Event.h"
#include "internal/SerialTermios.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>

namespace {

TEST(SerialDevice, OpensExclusivelyByPathOrName) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    TSerialDevice first;
    ASSERT_EQ(first.Open(pty.SlavePath()), TOpenResult::Ok);
    TSerialDevice second; // the tests run as root: the lock holds against root too
    EXPECT_EQ(second.Open(pty.SlavePath()), TOpenResult::InUse);
    EXPECT_EQ(second.LastError(), kErrorInUse);
    first.Close();
    EXPECT_EQ(second.Open(pty.SlavePath()), TOpenResult::Ok);

    TSerialDevice missing;
    EXPECT_EQ(missing.Open("/dev/no-such-serial-device"), TOpenResult::NoSuchDevice);
    EXPECT_EQ(missing.LastError(), kErrorNoSuchDevice);
    EXPECT_EQ(missing.Open("ttyNoSuchDevice99"), TOpenResult::NoSuchDevice); // under /dev/
    EXPECT_EQ(SystemErrorText(kErrorNoSuchDevice), "No such file or directory");
}

TEST(SerialDevice, BytesBothWaysAndPurge) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    TSerialDevice device;
    ASSERT_EQ(device.Open(pty.SlavePath()), TOpenResult::Ok);
    TDeviceControl control;
    control.BaudRate = 115200;
    ASSERT_TRUE(device.SetState(control));
    TDeviceControl read;
    ASSERT_TRUE(device.GetState(read));
    EXPECT_EQ(read.BaudRate, 115200u);

    char buffer[64] = {};
    int error = -1;
    EXPECT_EQ(device.Read(buffer, sizeof buffer, error), 0); // nothing yet: at once, empty
    ASSERT_EQ(::write(pty.Master(), "hello", 5), 5);
    TEvent stop(TEvent::Reset::Manual);
    ASSERT_EQ(WaitForAny({&stop}, {device.Fd(), true, false}, 1000), 1);
    EXPECT_EQ(device.Read(buffer, sizeof buffer, error), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");

    EXPECT_EQ(device.Write("back", 4, error), 4);
    char back[8] = {};
    ASSERT_EQ(::read(pty.Master(), back, sizeof back), 4);
    EXPECT_EQ(std::string(back, 4), "back");

    ASSERT_EQ(::write(pty.Master(), "stale", 5), 5);
    ::usleep(20000);
    EXPECT_TRUE(device.Purge());
    EXPECT_EQ(device.Read(buffer, sizeof buffer, error), 0);
    EXPECT_FALSE(device.Condition().HangUp);

    TDeviceTimeouts timeouts{0xFFFFFFFF, 0, 0, 0, 0};
    EXPECT_TRUE(device.SetTimeouts(timeouts));
    TDeviceTimeouts back2;
    EXPECT_TRUE(device.GetTimeouts(back2));
    EXPECT_EQ(back2.ReadIntervalTimeout, 0xFFFFFFFFu);

    // The other end goes: the waiter wakes and the line says so.
    pty.CloseMaster();
    ASSERT_EQ(WaitForAny({&stop}, {device.Fd(), true, false}, 1000), 1);
    EXPECT_TRUE(device.Condition().HangUp);

    device.Close();
    EXPECT_FALSE(device.GetTimeouts(back2));
    EXPECT_FALSE(device.Purge());
}

TEST(SerialDevice, DeviceControlMapping) {
    auto map = [](TDeviceControl c) {
        termios tio{};
        EXPECT_TRUE(MapDeviceControl(c, tio));
        return tio;
    };
    TDeviceControl c;
    termios t = map(c);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u); // raw

    const struct {
        std::uint8_t Parity;
        tcflag_t Bits;
    } parities[] = {{0, 0},
                    {1, PARENB | PARODD},
                    {2, PARENB},
                    {3, PARENB | CMSPAR | PARODD},
                    {4, PARENB | CMSPAR}};
    for (const auto& p : parities) {
        c.Parity = p.Parity;
        EXPECT_EQ(map(c).c_cflag & (PARENB | PARODD | CMSPAR), p.Bits) << int(p.Parity);
    }
    c.Parity = 0;
    c.StopBits = 1;
    EXPECT_NE(map(c).c_cflag & CSTOPB, 0u);
    c.StopBits = 2;
    EXPECT_NE(map(c).c_cflag & CSTOPB, 0u);
    c.StopBits = 0;
    c.ByteSize = 7;
    EXPECT_EQ(map(c).c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    c.ByteSize = 8;

    // The three flow-control rows of the component.
    c.fOutX = c.fInX = true;
    c.fDtrControl = kDtrControlDisable;
    c.fRtsControl = kRtsControlDisable;
    t = map(c);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    c.fOutX = c.fInX = false;
    c.fOutxCtsFlow = c.fOutxDsrFlow = true;
    c.fDtrControl = kDtrControlHandshake;
    c.fRtsControl = kRtsControlHandshake;
    t = map(c);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);

    termios bad{};
    c = TDeviceControl{};
    c.BaudRate = 12345;
    EXPECT_FALSE(MapDeviceControl(c, bad));
    c.BaudRate = 9600;
    c.ByteSize = 9;
    EXPECT_FALSE(MapDeviceControl(c, bad));
    c.ByteSize = 8;
    c.Parity = 5;
    EXPECT_FALSE(MapDeviceControl(c, bad));
}

TEST(SerialDevice, SettingsThePseudoTerminalCannotTakeAreRefused) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    TSerialDevice device;
    ASSERT_EQ(device.Open(pty.SlavePath()), TOpenResult::Ok);
    TDeviceControl c;
    c.ByteSize = 7;
    c.Parity = 2;
    // Refused or taken, the answer must be honest: if it says yes, the line
    // really has the setting.
    if (device.SetState(c)) {
        termios tio{};
        ASSERT_EQ(::tcgetattr(device.Fd(), &tio), 0);
        EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    } else {
        EXPECT_EQ(device.LastError(), EINVAL);
    }
}

} // namespace
