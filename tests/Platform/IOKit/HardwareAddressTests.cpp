#include "Platform/IOKit/HardwareAddress.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using platform::iokit::HardwareAddress;
using platform::iokit::primaryHardwareAddress;

namespace {

class HardwareAddressTest : public testsupport::PlatformRootTest {
protected:
    void plantInterface(const std::string& name, const std::string& address, int type = 1)
    {
        testsupport::plantFile(interfaces / name / "address", address + "\n");
        testsupport::plantFile(interfaces / name / "type", std::to_string(type) + "\n");
    }

    void plantDefaultRoute(const std::string& name)
    {
        testsupport::plantFile(routes, "Iface\tDestination\tGateway\n" + name +
                                           "\t00000000\t0101A8C0\nlo\t0000007F\t00000000\n");
    }

    std::optional<HardwareAddress> primary() const
    {
        return primaryHardwareAddress(interfaces.string(), routes.string());
    }

    fs::path interfaces = testsupport::platformRootFolder() / "sys-net";
    fs::path routes = testsupport::platformRootFolder() / "route";
};

TEST_F(HardwareAddressTest, PrefersTheDefaultRouteInterface)
{
    plantInterface("lo", "00:00:00:00:00:00", 772);
    plantInterface("eth0", "0a:1b:2c:3d:4e:5f");
    plantInterface("wlan0", "12:34:56:78:9a:bc");
    plantDefaultRoute("wlan0");
    EXPECT_EQ(primary(), (HardwareAddress{0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc}));
}

TEST_F(HardwareAddressTest, WithoutARouteTakesTheFirstNamedInterfaceWithAnAddress)
{
    plantInterface("aa-loop", "01:02:03:04:05:06", 772);
    plantInterface("bond0", "00:00:00:00:00:00");
    plantInterface("tun0", "");
    plantInterface("enp3s0", "0A:1B:2C:3D:4E:5F");
    plantInterface("wlan0", "12:34:56:78:9a:bc");
    EXPECT_EQ(primary(), (HardwareAddress{0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}));
}

TEST_F(HardwareAddressTest, NoInterfaceGivesNothing)
{
    EXPECT_FALSE(primary());
    plantInterface("lo", "00:00:00:00:00:00", 772);
    EXPECT_FALSE(primary());
}

} // namespace
