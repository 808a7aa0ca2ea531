// The reproducer system as a whole: its configuration document, its two transports, the SMPTE
// interface unit, up to 20 reproducers and two CobraNet devices, and the download that sends the
// configuration to the units step by step.
#pragma once
#include "foundation/state.h"
#include "reproducer/reelvox_transport.h"
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class QORSerial_c;
class ReelvoxCobraNet_c;
class ReelvoxDataDocument_c;
class ReelvoxReproducer_c;
class ReelvoxSMPTEInterface_c;

// System states: the download step under way, or complete.
constexpr std::int16_t REELVOX_SYSTEM_SMPTE = 1;
constexpr std::int16_t REELVOX_SYSTEM_VIDEO = 2;
constexpr std::int16_t REELVOX_SYSTEM_COBRANET = 3;
constexpr std::int16_t REELVOX_SYSTEM_COMPLETE = 4;

class Reelvox_c : public QORState_c {
public:
    static constexpr std::uint8_t kMaxReproducers = 20;

    Reelvox_c();
    ~Reelvox_c() override;
    Reelvox_c(const Reelvox_c&) = delete;
    Reelvox_c& operator=(const Reelvox_c&) = delete;

    // A new configuration at its defaults, no device objects, SMPTE and video steps enabled and
    // the CobraNet step disabled. A new system starts so. With a prototype (a configuration that
    // outlives this system and is not changed while it is in use), the configuration is a copy
    // of it instead. Either is laid out when first looked at.
    void ResetDevices(const ReelvoxDataDocument_c* prototype = nullptr);
    void SetIgnoreErrors(std::uint8_t flag);

    // Adopts the interface when none is held: 2; 254 when one is held or none is given. The
    // interface binds to the configuration when first used.
    std::uint8_t AttachSMPTEInterface(std::unique_ptr<ReelvoxSMPTEInterface_c> interface);
    ReelvoxSMPTEInterface_c* SMPTEInterface() const { return m_interface.get(); }

    void SetReproducerCount(std::uint8_t count);
    std::int32_t ReproducerCount();
    std::uint8_t AttachReproducer(std::uint8_t unit, std::unique_ptr<ReelvoxReproducer_c> repro);
    // The object of unit 1..count, created when missing; none outside.
    ReelvoxReproducer_c* Reproducer(std::uint8_t unit);
    // The CobraNet device in slot 0 or 1, none when empty.
    ReelvoxCobraNet_c* CobraNet(std::uint8_t slot) const;
    std::uint8_t AttachCobraNet(std::uint8_t slot, std::unique_ptr<ReelvoxCobraNet_c> device);

    // Sends the configuration: 2 done, 251 a unit did not answer, 254 a failure; the state tells
    // the step reached. The transport is closed at every exit. A stop request of the calling
    // thread ends it with 254.
    std::uint8_t Download(std::uint8_t cobranet, std::uint8_t skipUnitSetup, std::uint8_t triggers);

    // Lends a port to the serial transport (none takes it back): 2 with the port type "serial"
    // or "null"; any other answer leaves the port type.
    std::uint8_t SetSerialPort(QORSerial_c* port);
    // Through the transport the port type selects: the bytes sent, or -2 when none is selected.
    std::int32_t SendFrame(const std::uint8_t* data, std::uint8_t destination, std::uint8_t command,
                           std::int32_t length);
    // 2 accepted, 254 refused or no transport, 251 time-out.
    std::uint8_t WaitResponse(std::uint32_t timeoutMs);
    // Serial: the port's close; UDP: the socket reset (250); none selected: -2.
    std::int32_t CloseTransport();
    static std::uint8_t ParseAck(void* input, void* system);
    std::uint8_t LastAck() const { return m_lastAck; }

    ReelvoxDataDocument_c* Document() const;
    ReelvoxSerial_c* SerialTransport() { return m_serial.get(); }
    ReelvoxUDP_c* UDPTransport() { return m_udp.get(); }

private:
    enum class Transport { None, Serial, UDP };
    Transport SelectedTransport();
    std::uint8_t EndDownload(std::uint8_t result);
    std::uint8_t VideoStep(std::uint8_t unitType);

    std::unique_ptr<ReelvoxReplyParser_c> m_ackParser;
    std::unique_ptr<ReelvoxSerial_c> m_serial;
    std::unique_ptr<ReelvoxUDP_c> m_udp;
    std::unique_ptr<ReelvoxSMPTEInterface_c> m_interface;
    std::array<std::unique_ptr<ReelvoxReproducer_c>, kMaxReproducers + 1> m_reproducers;
    std::array<std::unique_ptr<ReelvoxCobraNet_c>, 2> m_cobranets;
    std::uint8_t m_lastAck = 0;
    std::unique_ptr<ReelvoxDataDocument_c> m_document;
    // Set by a reset whose configuration is not laid out yet.
    mutable std::atomic<bool> m_resetPending{true};
    const ReelvoxDataDocument_c* m_prototype = nullptr;
    mutable std::mutex m_documentMutex;
};
