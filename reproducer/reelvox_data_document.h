// The reproducer configuration as one XML document: the document, its root binder `reelvox` with
// one binder per section, and the `states` section that enables the download steps.
#pragma once

#include "reproducer/show_document.h"
#include "reproducer/show_resources.h"

#include <cstdint>
#include <memory>

class ProductDataPort_c;
class ReelvoxDataCobraNets_c;
class ReelvoxDataReproducer_c;
class ReelvoxDataReproducers_c;
class ReelvoxDataSMPTEInterface_c;
class ShowDataInfo_c;

// Download stages (state kinds of the `states` section).
constexpr std::uint8_t REELVOX_STATE_NONE = 0;
constexpr std::uint8_t REELVOX_STATE_SMPTE = 1;
constexpr std::uint8_t REELVOX_STATE_VIDEO_SETTINGS = 2;
constexpr std::uint8_t REELVOX_STATE_COBRANET = 3;
constexpr std::uint8_t REELVOX_STATE_COMPLETE = 4;

class ReelvoxDataState_c : public ShowResource_c {
public:
    ReelvoxDataState_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* node) override;

    // Text boolean kept in "eb" (or "enabled" in documents that use that name).
    std::uint8_t SetEnabled(std::uint8_t flag);
    std::uint8_t IsEnabled();

private:
    ShowXML_c* EnabledNode();

    ShowXML_c* m_enabled = nullptr;
};

class ReelvoxDataStates_c : public ShowResources_c {
public:
    ReelvoxDataStates_c();

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* parent) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;

    // Kind 0-4; the state item is made when missing.
    std::uint8_t SetEnabled(std::uint8_t kind, std::uint8_t flag);
    // 253 for an unknown kind or a missing item (nothing is made).
    std::uint8_t IsEnabled(std::uint8_t kind);
};

class ReelvoxDataDocument_c;

class ReelvoxData_c : public ShowXMLInterface_c {
public:
    ReelvoxData_c();
    ~ReelvoxData_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds the document node: finds or creates `reelvox` and binds every section.
    std::uint8_t Bind(ShowXML_c* node) override;
    void SetChangeTracking(std::uint8_t tracking) override;
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    std::uint8_t SetIgnoreErrors(std::uint8_t flag);
    std::uint8_t IgnoreErrors();
    // Kind 0 null, 1 serial, 2 ethernet; other kinds write "null" and answer 254.
    std::uint8_t SetTransport(std::uint8_t kind);

    ShowDataInfo_c* Info() { return m_info.get(); }
    ProductDataPort_c* Port() { return m_port.get(); }
    ReelvoxDataStates_c* States() { return m_states.get(); }
    ReelvoxDataSMPTEInterface_c* SMPTE() { return m_smpte.get(); }
    ReelvoxDataReproducers_c* Reproducers() { return m_repros.get(); }
    ReelvoxDataCobraNets_c* CobraNets() { return m_cobranets.get(); }

private:
    void DeleteSections();

    ShowXML_c* m_ignoreErrors = nullptr;
    std::unique_ptr<ShowDataInfo_c> m_info;
    std::unique_ptr<ProductDataPort_c> m_port;
    std::unique_ptr<ReelvoxDataStates_c> m_states;
    std::unique_ptr<ReelvoxDataSMPTEInterface_c> m_smpte;
    std::unique_ptr<ReelvoxDataReproducers_c> m_repros;
    std::unique_ptr<ReelvoxDataCobraNets_c> m_cobranets;
};

class ReelvoxDataDocument_c : public ShowDocument_c {
public:
    ReelvoxDataDocument_c();
    ~ReelvoxDataDocument_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    void ReleaseBinding() override;
    // As the show document's Save, but a borrowed buffer too small for the whole text is left
    // alone and answers -2 with the modified bit kept.
    std::int32_t Save(QORBuffer_c* buffer) override;

    // The root binder, bound to the tree on first use; null when the tree cannot be bound.
    ReelvoxData_c* Root();
    // The `repro` item of unit (1-based), made with those before it when missing; null for
    // unit 0 or without a root.
    ReelvoxDataReproducer_c* ReproducerElement(std::uint8_t unit);

private:
    std::unique_ptr<ReelvoxData_c> m_root;
};
