// zarelcom.dll's network port against a real ser2net on Linux in front of the simulator, reached
// through a COM number mapped to the server's URL in the user's registry: the same socket code as
// on Linux, through Winsock.
#include <gtest/gtest.h>
#include <zarelcom/zarelcom.h>

#include <fstream>
#include <string>

namespace {
const int32_t NetworkPort = ZARELCOM_TEST_NETWORK_COM;

std::string Url() {
    std::ifstream file(ZARELCOM_TEST_NETWORK_URL_FILE);
    std::string url;
    std::getline(file, url);
    return url;
}

TEST(DllNetworkTest, TheMappedComNumberIsListedWithItsUrl) {
    zc_port_info ports[64];
    const int32_t count = zc_list_ports(ports, 64);
    bool listed = false;
    for (int32_t i = 0; i < count && i < 64; ++i)
        if (ports[i].number == NetworkPort) listed = ports[i].device == Url();
    EXPECT_TRUE(listed) << "COM" << NetworkPort << " is not listed as " << Url();
}

TEST(DllNetworkTest, QueriesOverTheUrlAtThePrintersRate) {
    SetBaudRate(ZC_BR38400);
    ASSERT_TRUE(zc_open_port_device(Url().c_str())) << GetLastPortError();
    SystemInfo info{};
    EXPECT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(info.ModelNo, 230);
    CloseComPort();
}

TEST(DllNetworkTest, TheSearchFindsThePrinterAtItsRateThroughTheComNumber) {
    int32_t list[] = {2, NetworkPort};
    ASSERT_TRUE(AutoConnect(list));
    EXPECT_EQ(list[1], 2); // 38400, the third rate of the search
    EXPECT_EQ(GetPrintStatus(), 0);
    CloseComPort();
}
} // namespace
