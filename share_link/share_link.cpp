// Reading the playground's share links: base64url, the compressed form's length and CRC-32, raw
// deflate through zlib, strict UTF-8, and the query's seed, each checked as the page checks it.
#include "share_link/share_link.hpp"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace lumenweave::share_link {
namespace {

constexpr uint64_t largestSeed = 4294967295u;

// base64url without padding, as the page's fromBase64url takes it: an alphabet letter each, and
// no length that leaves a lone letter; the bits past the last whole byte are dropped.
std::optional<std::vector<unsigned char>> fromBase64url(const std::string& text) {
    if (text.size() % 4 == 1) {
        return std::nullopt;
    }
    std::vector<unsigned char> bytes;
    uint32_t bits = 0;
    int held = 0;
    for (const char c : text) {
        int value = 0;
        if (c >= 'A' && c <= 'Z') {
            value = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            value = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            value = c - '0' + 52;
        } else if (c == '-') {
            value = 62;
        } else if (c == '_') {
            value = 63;
        } else {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<unsigned char>(bits >> held));
        }
    }
    return bytes;
}

// Whether BYTES are UTF-8 as a strict decoder takes it: no overlong form, no surrogate, nothing
// past U+10FFFF, no sequence cut short.
bool isUtf8(const std::string& bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = at + bytes.size();
    while (at < end) {
        const unsigned char lead = *at++;
        int more = 0;
        uint32_t code = 0;
        uint32_t least = 0;
        if (lead < 0x80) {
            continue;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            more = 1, code = lead & 0x1fu, least = 0x80;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            more = 2, code = lead & 0x0fu, least = 0x800;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            more = 3, code = lead & 0x07u, least = 0x10000;
        } else {
            return false;
        }
        if (end - at < more) {
            return false;
        }
        for (int i = 0; i < more; ++i, ++at) {
            if ((*at & 0xc0) != 0x80) {
                return false;
            }
            code = (code << 6) | (*at & 0x3fu);
        }
        if (code < least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
            return false;
        }
    }
    return true;
}

// The page decodes with TextDecoder, which drops a byte order mark at the start.
std::string withoutByteOrderMark(std::string text) {
    if (text.compare(0, 3, "\xef\xbb\xbf") == 0) {
        text.erase(0, 3);
    }
    return text;
}

// Raw deflate of exactly LENGTH bytes that end the stream and the payload together.
std::optional<std::string> inflateExactly(const unsigned char* data, std::size_t size,
                                          std::size_t length) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) {
        return std::nullopt;
    }
    // One byte more than promised tells a longer text from an exact one.
    std::string text(length + 1, '\0');
    stream.next_in = const_cast<unsigned char*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = reinterpret_cast<unsigned char*>(text.data());
    stream.avail_out = static_cast<uInt>(text.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_in == 0 && stream.total_out == length;
    inflateEnd(&stream);
    if (!whole) {
        return std::nullopt;
    }
    text.resize(length);
    return text;
}

// #z=: [length in bytes, LEB128][CRC-32 of the text, big-endian][the text in raw deflate]. A
// length past maxLinkedScript is given back in TOO_LONG, and nothing inflated.
std::optional<std::string> readCompressed(const std::string& payload, uint64_t& tooLong) {
    const std::optional<std::vector<unsigned char>> bytes = fromBase64url(payload);
    if (!bytes) {
        return std::nullopt;
    }
    const std::vector<unsigned char>& b = *bytes;
    uint64_t length = 0;
    std::size_t at = 0;
    for (uint64_t scale = 1;; scale *= 128) {
        if (at >= b.size() || scale > (uint64_t{1} << 28)) {
            return std::nullopt;
        }
        const unsigned char byte = b[at++];
        length += (byte & 127u) * scale;
        if (byte < 128) {
            break;
        }
    }
    if (b.size() < at + 4) {
        return std::nullopt;
    }
    if (length > maxLinkedScript) {
        tooLong = length;
        return std::nullopt;
    }
    const uint32_t crc = static_cast<uint32_t>(b[at]) << 24 |
                         static_cast<uint32_t>(b[at + 1]) << 16 |
                         static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
    std::optional<std::string> text =
        inflateExactly(b.data() + at + 4, b.size() - at - 4, static_cast<std::size_t>(length));
    if (!text ||
        crc32(0, reinterpret_cast<const Bytef*>(text->data()), static_cast<uInt>(text->size())) !=
            crc ||
        !isUtf8(*text)) {
        return std::nullopt;
    }
    return withoutByteOrderMark(std::move(*text));
}

// #s=: the UTF-8 text in base64url.
std::optional<std::string> readPlain(const std::string& payload) {
    const std::optional<std::vector<unsigned char>> bytes = fromBase64url(payload);
    if (!bytes) {
        return std::nullopt;
    }
    std::string text(bytes->begin(), bytes->end());
    if (!isUtf8(text)) {
        return std::nullopt;
    }
    return withoutByteOrderMark(std::move(text));
}

// The first seed= of QUERY (the part between ? and #), as given.
std::optional<std::string> querySeed(const std::string& query) {
    for (std::size_t start = 0; start <= query.size();) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) {
            end = query.size();
        }
        if (query.compare(start, 5, "seed=") == 0 && end >= start + 5) {
            return query.substr(start + 5, end - start - 5);
        }
        start = end + 1;
    }
    return std::nullopt;
}

// A whole decimal number of 1 to 10 digits from 0 to 4294967295, as the page's parseWhole takes
// a seed.
std::optional<uint32_t> seedOf(const std::string& digits) {
    if (digits.empty() || digits.size() > 10 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const uint64_t value = std::stoull(digits);
    return value <= largestSeed ? std::optional<uint32_t>(static_cast<uint32_t>(value))
                                : std::nullopt;
}

}  // namespace

ShareLink readShareLink(const std::string& address) {
    const std::size_t first = address.find_first_not_of(" \t\r\n");
    const std::size_t last = address.find_last_not_of(" \t\r\n");
    const std::string trimmed =
        first == std::string::npos ? std::string() : address.substr(first, last - first + 1);
    ShareLink link;
    const std::size_t hash = trimmed.find('#');
    if (hash == std::string::npos || trimmed.size() < hash + 3 || trimmed[hash + 2] != '=' ||
        (trimmed[hash + 1] != 'z' && trimmed[hash + 1] != 's')) {
        return link;
    }
    const std::size_t question = trimmed.find('?');
    if (question < hash) {
        const std::optional<std::string> given =
            querySeed(trimmed.substr(question + 1, hash - question - 1));
        link.seed = given ? seedOf(*given) : std::nullopt;
        if (given && !link.seed) {
            link.refusedSeed = given;
        }
    }
    const std::string payload = trimmed.substr(hash + 3);
    uint64_t tooLong = 0;
    std::optional<std::string> text =
        trimmed[hash + 1] == 'z' ? readCompressed(payload, tooLong) : readPlain(payload);
    if (text && text->size() > maxLinkedScript) {
        tooLong = text->size();
    }
    if (tooLong != 0) {
        link.kind = LinkKind::tooLarge;
        link.length = tooLong;
    } else if (!text) {
        link.kind = LinkKind::damaged;
    } else if (text->empty()) {
        link.kind = LinkKind::emptyScript;
    } else {
        link.kind = LinkKind::script;
        link.text = std::move(*text);
    }
    return link;
}

}  // namespace lumenweave::share_link
