// Checksums over byte runs: the abstract form and the 8-bit byte sum that ends a trigger-table
// upload.
#pragma once

#include <cstdint>
#include <memory>

class QORChecksum_c {
public:
    virtual ~QORChecksum_c() = default;
    // Adds the bytes: 2, or 254 for missing bytes.
    virtual std::uint8_t Update(const void* bytes, std::int32_t length) = 0;
    virtual const std::uint8_t* Value() const = 0;
    virtual std::int32_t Size() const = 0;
    virtual void Reset() = 0;
    // Writes the checksum bytes: their count, or -2 when there is no room.
    virtual std::int32_t CopyOut(void* destination, std::int32_t length) const = 0;
};

class QORChecksumByteSum_c : public QORChecksum_c {
public:
    std::unique_ptr<QORChecksumByteSum_c> Create() const {
        return std::make_unique<QORChecksumByteSum_c>();
    }
    std::uint8_t Update(const void* bytes, std::int32_t length) override;
    const std::uint8_t* Value() const override { return &m_sum; }
    std::int32_t Size() const override { return 1; }
    void Reset() override { m_sum = 0; }
    std::int32_t CopyOut(void* destination, std::int32_t length) const override;

private:
    std::uint8_t m_sum = 0;
};
