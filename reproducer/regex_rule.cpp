#include "reproducer/regex_rule.h"

#include "foundation/variant_value.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>
#include <new>

namespace {

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct SerialDeleter {
    void operator()(std::uint8_t* bytes) const { pcre2_serialize_free(bytes); }
};

using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;

// The study byte: the JIT compiler took the pattern, so matching compiles it again.
constexpr std::uint8_t kJitMark = 1;

// Below this a buffer cannot hold even the serialisation header.
constexpr std::int32_t kSerialHeaderSize = 16;

void AppendCapture(QORList_c* captures, const std::uint8_t* subject, PCRE2_SIZE start,
                   PCRE2_SIZE end) {
    std::unique_ptr<QORValue_c> value(new (std::nothrow) QORValue_c());
    if (!value) {
        return;
    }
    QORString_c text;
    // An unset group, or a \K match that ends before it starts, is an empty capture.
    if (start != PCRE2_UNSET && end != PCRE2_UNSET && end > start) {
        if (text.AssignEscaped(subject + start, static_cast<std::int32_t>(end - start)) != QOR_OK) {
            text.Clear();
        }
    }
    value->SetString(&text);
    if (captures->InsertAfter(value.get()) == QOR_OK) {
        value.release(); // the list holds it now; its owner decides its life
    }
}

} // namespace

std::uint8_t ShowRegexCompile(QORBuffer_c* code, QORString_c* pattern, QORBuffer_c* study) {
    if (code == nullptr || pattern == nullptr || study == nullptr) {
        return QOR_ERROR;
    }
    if (pattern->Buffer() != nullptr) {
        pattern->Buffer()->Rewind(QOR_WHOLE);
    }
    int error = 0;
    PCRE2_SIZE offset = 0;
    CodePtr compiled(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern->Chars()),
                                   PCRE2_ZERO_TERMINATED, 0, &error, &offset, nullptr));
    if (!compiled) {
        return QOR_ERROR;
    }
    std::uint8_t* serial = nullptr;
    PCRE2_SIZE serialSize = 0;
    const pcre2_code* codes[1] = {compiled.get()};
    if (pcre2_serialize_encode(codes, 1, &serial, &serialSize, nullptr) < 0 ||
        serialSize > 0x7FFFFFFF) {
        pcre2_serialize_free(serial);
        return QOR_ERROR;
    }
    std::unique_ptr<std::uint8_t, SerialDeleter> serialOwner(serial);
    const auto size = static_cast<std::int32_t>(serialSize);
    if (code->Resize(size) != QOR_OK) {
        return QOR_ERROR;
    }
    code->CopyIn(size, serial);
    // JIT in place of study: nothing of it can be kept as bytes, only whether it worked.
    if (pcre2_jit_compile(compiled.get(), PCRE2_JIT_COMPLETE) == 0) {
        if (study->Resize(1) == QOR_OK) {
            study->CopyIn(1, &kJitMark);
        }
    } else {
        study->Resize(0);
    }
    return QOR_OK;
}

std::uint8_t ShowRegexMatch(QORBuffer_c* study, QORBuffer_c* subject, QORList_c* captures,
                            QORBuffer_c* code) {
    if (study == nullptr || subject == nullptr || code == nullptr) {
        return QOR_ERROR;
    }
    const std::int32_t codeSize = code->ReadableEnd();
    if (codeSize < kSerialHeaderSize || code->Data() == nullptr) {
        return QOR_ERROR;
    }
    pcre2_code* decoded = nullptr;
    if (pcre2_serialize_get_number_of_codes(code->Data()) != 1 ||
        pcre2_serialize_decode(&decoded, 1, code->Data(), nullptr) != 1) {
        return QOR_ERROR;
    }
    CodePtr compiled(decoded);
    if (study->ReadableEnd() >= 1 && study->Data()[0] == kJitMark) {
        pcre2_jit_compile(compiled.get(), PCRE2_JIT_COMPLETE);
    }
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> match(
        pcre2_match_data_create(kShowRegexMaxCaptures, nullptr));
    if (!match) {
        return QOR_ERROR;
    }
    static const std::uint8_t kEmpty = 0;
    const std::uint8_t* bytes = subject->Data() != nullptr ? subject->Data() : &kEmpty;
    const auto length = static_cast<PCRE2_SIZE>(subject->ReadableEnd());
    int count = pcre2_match(compiled.get(), bytes, length, 0, 0, match.get(), nullptr);
    if (count < 0) {
        return QOR_ERROR;
    }
    if (count == 0) {
        count = kShowRegexMaxCaptures; // the vector was too small: every pair is filled
    }
    if (captures != nullptr) {
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(match.get());
        for (int i = 0; i < count && i < kShowRegexMaxCaptures; ++i) {
            AppendCapture(captures, bytes, vector[2 * i], vector[2 * i + 1]);
        }
    }
    return QOR_OK;
}
