// The two CobraNet audio devices of the configuration: `cobranet` elements with their network
// settings and four bundles of eight channels, each channel naming one side of a reproducer.
#pragma once

#include "reproducer/show_resources.h"

#include <array>
#include <cstdint>
#include <memory>

class ReelvoxDataCobraNetChannel_c : public ShowResource_c {
public:
    ReelvoxDataCobraNetChannel_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* node) override;

    // Non-zero writes "right", zero "left".
    std::uint8_t SetSide(std::uint8_t flag);
    std::uint8_t IsRight();
    std::uint8_t SetRepro(std::int32_t unit);
    std::int32_t Repro();
    // Index of the enclosing `cobranet` among its like siblings; 2 without one.
    std::int32_t DeviceIndex();
    // 1-16 within the device's reproducer range, 0 outside it.
    std::int32_t AudioChannel();

private:
    ShowXML_c* m_repro = nullptr;
    ShowXML_c* m_channel = nullptr;
};

class ReelvoxDataCobraNetChannels_c : public ShowResources_c {
public:
    ReelvoxDataCobraNetChannels_c();

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* bundleElement) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;
};

class ReelvoxDataCobraNetBundle_c : public ShowResource_c {
public:
    ReelvoxDataCobraNetBundle_c();
    ~ReelvoxDataCobraNetBundle_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* node) override;
    void SetChangeTracking(std::uint8_t tracking) override;
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    std::uint8_t SetNumber(std::int32_t number);
    std::int32_t Number();
    std::int32_t DeviceIndex();
    ReelvoxDataCobraNetChannels_c* Channels() { return m_channels.get(); }

private:
    std::unique_ptr<ReelvoxDataCobraNetChannels_c> m_channels;
    ShowXML_c* m_number = nullptr;
};

class ReelvoxDataCobraNetBundles_c : public ShowResources_c {
public:
    ReelvoxDataCobraNetBundles_c();

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds to `bundles` of the `cobranet` element and completes it to four bundles.
    std::uint8_t Bind(ShowXML_c* cobranetElement) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;
};

class ReelvoxDataCobraNet_c : public ShowResource_c {
public:
    ReelvoxDataCobraNet_c();
    ~ReelvoxDataCobraNet_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds the bundles and writes the defaults of missing fields.
    std::uint8_t Bind(ShowXML_c* node) override;
    void SetChangeTracking(std::uint8_t tracking) override;
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    // 1 for 16, 2 for 20, 3 for 24 bits, else 0.
    std::uint8_t Resolution();
    // 1 for 48, 2 for 96 kHz, else 0.
    std::uint8_t SampleRate();
    // 3 for 1, 2 for 2, 1 for 5, else 0.
    std::uint8_t Latency();
    // The `conductor` and `ip_address` nodes (found or created empty).
    ShowXML_c* ConductorNode();
    ShowXML_c* IpAddressNode();
    std::int32_t DeviceIndex();
    ReelvoxDataCobraNetBundles_c* Bundles() { return m_bundles.get(); }

private:
    enum Field : std::uint8_t {
        kConductor,
        kLatency,
        kResolution,
        kSampleRate,
        kIpAddress,
        kCount
    };
    ShowXML_c* Node(Field field);

    std::unique_ptr<ReelvoxDataCobraNetBundles_c> m_bundles;
    std::array<ShowXML_c*, kCount> m_nodes{};
};

class ReelvoxDataCobraNets_c : public ShowResources_c {
public:
    ReelvoxDataCobraNets_c();

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds to `cobranets` of the `reelvox` element and completes it to two devices.
    std::uint8_t Bind(ShowXML_c* parent) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;
};
