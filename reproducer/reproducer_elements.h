// The reproducers of the configuration: the `repros` collection (its `max` is the number of
// reproducers the system addresses) and one `repro` element per unit.
#pragma once

#include "reproducer/show_resources.h"

#include <array>
#include <cstdint>
#include <memory>

// Reproducer models (index of the `product` text).
constexpr std::uint8_t REELVOX_PRODUCT_NOT_INSTALLED = 0;
constexpr std::uint8_t REELVOX_PRODUCT_LEGACY = 10;
constexpr std::uint8_t REELVOX_PRODUCT_AUTO_DETECT = 11;
// Most reproducers a system has.
constexpr std::int32_t REELVOX_MAX_REPRODUCERS = 20;

class ReelvoxDataReproducer_c : public ShowResource_c {
public:
    ReelvoxDataReproducer_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    // Names the element `repro`; writes no defaults.
    std::uint8_t Bind(ShowXML_c* node) override;

    // An index above 11 writes "Auto Detect".
    std::uint8_t SetProduct(std::uint8_t index);
    // 0-11; an unknown or empty text reads 11.
    std::uint8_t Product();
    // Group 1-13: flag 3 adds the group, anything else removes it.
    std::uint8_t SetGroup(std::uint8_t group, std::uint8_t flag);
    std::uint8_t IsInGroup(std::uint8_t group);
    // Byte i = 1 when in group i + 1: 13, or -2 for a null buffer.
    std::int32_t Groups(std::uint8_t* buffer);
    ShowXML_c* VersionElement();
    std::uint8_t Colorspace();
    std::uint8_t OutputFormat();
    // An index above 4 writes "Off".
    std::uint8_t SetOsd(std::uint8_t index);

private:
    enum Field : std::uint8_t {
        kProduct,
        kGroups,
        kVersion,
        kColorspace,
        kOutputFormat,
        kOsd,
        kCount
    };
    ShowXML_c* Node(Field field);

    std::array<ShowXML_c*, kCount> m_nodes{};
};

class ReelvoxDataReproducers_c : public ShowResources_c {
public:
    ReelvoxDataReproducers_c();

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds to the `repros` child of the `reelvox` element; writes `max` 16 when missing.
    std::uint8_t Bind(ShowXML_c* parent) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;

    std::uint8_t SetMax(std::uint8_t count);
    // The integer `max`; 0 when negative or unbound.
    std::int32_t Max();

private:
    ShowXML_c* m_max = nullptr;
};

const char* ReelvoxProductText(std::uint8_t index);
