#include "tests/support/port_fixture.h"

#include "app/vl_app.h"
#include "script/product.h"
#include "script/protocol_list.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace testing_support {

namespace {

struct TestProtocol {
    const char* file;
    const char* model;
    const char* interface;
    const char* location;
    const char* baud;
    const char* parity;
    const char* address;
};

constexpr TestProtocol kProtocols[] = {
    {"TESTDISK.PCL", "Disk", "SCSI", "Local", "", "", "0,1,2"},
    {"TESTTAPE.PCL", "Tape", "SCSI", "Local", "", "", "5"},
    {"TESTREMO.PCL", "Remote", "Serial", "Remote", "9600", "N", ""},
    {"TESTDUAL.PCL", "Dual", "Serial", "Local", "9600,19200", "N,E", ""},
    {"TESTSING.PCL", "Single", "Serial", "Local", "4800", "N", ""},
    {"TESTFAST.PCL", "Fast", "Serial", "Local", "57600", "N", ""},
};

} // namespace

PortFixture::PortFixture(CVLApp& app) {
    char pattern[] = "/tmp/velmora-ports-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("no temporary folder for the test protocols");
    dir_ = pattern;
    for (const TestProtocol& p : kProtocols) {
        const std::filesystem::path path = dir_ / p.file;
        std::ofstream out(path);
        out << "[Device]\nLocation=" << p.location << "\nMaker=Test\nModel=" << p.model
            << "\nInterface=" << p.interface << "\nDataBits=8\nStopBits=1\nParity=" << p.parity
            << "\nBaudRate=" << p.baud << "\nAddress=" << p.address
            << "\nProtocol=Serial\n\n[Test:Ping]\ndescription=Asks for an answer\nmessage=h01\n";
        out.close();
        auto protocol = std::make_unique<CProtocol>();
        if (!protocol->ReadDevice(path.string()))
            throw std::runtime_error("test protocol unreadable: " + path.string());
        app.Protocols().AddTail(std::move(protocol));
    }
    auto position = app.Products().FindByName("Harnel16");
    if (!position)
        throw std::runtime_error("the default product is missing");
    CProduct& product = app.Products().GetAt(*position);
    CProductPort& scsi = product.m_Ports[kScsiPort];
    scsi.m_strInterface = "SCSI";
    scsi.m_strAddressList = "0,1,2,3";
    scsi.m_strScsiAddress = "0";
    CProductPort& partial = product.m_Ports[kPartialPort];
    partial.m_strBaudRates = "9600";
    partial.m_strParityList = "N";
    partial.m_strBaudRate = "9600";
    partial.m_strParity = "N";
    CProductPort& fixed = product.m_Ports[kFixedPort];
    fixed.m_strProtocol = "Brevant_Pelvane_2";
    fixed.m_nFixedProtocol = 1;
}

PortFixture::~PortFixture() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

} // namespace testing_support
