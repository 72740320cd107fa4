// Reading share links as the page reads them: the forms of the address, the query's seed, and
// every way a link can be cut short, altered or inflated past what it promises.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "share_link/share_link.hpp"

using namespace lumenweave;

namespace {

std::string base64url(const std::string& bytes) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string text;
    uint32_t bits = 0;
    int held = 0;
    for (const unsigned char byte : bytes) {
        bits = (bits << 8) | byte;
        for (held += 8; held >= 6; held -= 6) {
            text += alphabet[(bits >> (held - 6)) & 63];
        }
    }
    if (held > 0) {
        text += alphabet[(bits << (6 - held)) & 63];
    }
    return text;
}

// A #z= fragment of TEXT as the page makes it; its header may claim LENGTH bytes instead, and
// JUNK follows the compressed text.
std::string zLink(const std::string& text, std::size_t length, const std::string& junk = "") {
    std::string bytes;
    for (std::size_t n = length;; n /= 128) {
        bytes += static_cast<char>((n % 128) | (n >= 128 ? 128 : 0));
        if (n < 128) {
            break;
        }
    }
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), text.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes += static_cast<char>((crc >> shift) & 0xff);
    }
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string packed(deflateBound(&stream, text.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return "#z=" + base64url(bytes + packed + junk);
}

std::string zLink(const std::string& text) {
    return zLink(text, text.size());
}

TEST(ShareLink, TheAddressShareCopiesOrItsFragment) {
    const std::string script = "actset: 80, 5.3\n# \xc3\xa9t\xc3\xa9\n";
    const share_link::ShareLink whole = share_link::readShareLink(
        " https://example.org/lw/index.html?size=9x9&seed=7&seed=8" + zLink(script) + "\n");
    EXPECT_EQ(whole.kind, share_link::LinkKind::script);
    EXPECT_EQ(whole.text, script);
    EXPECT_EQ(whole.seed, 7u);
    const share_link::ShareLink fragment = share_link::readShareLink(zLink(script));
    EXPECT_EQ(fragment.text, script);
    EXPECT_FALSE(fragment.seed);
    EXPECT_EQ(share_link::readShareLink("#s=" + base64url(script)).text, script);
    // Seeds the page does not take are left to --seed or the clock, as there, and said.
    for (const char* seed : {"4294967296", "-1", "", "01234567890"}) {
        const share_link::ShareLink link =
            share_link::readShareLink(std::string("?seed=") + seed + zLink(script));
        EXPECT_FALSE(link.seed) << seed;
        EXPECT_EQ(link.refusedSeed, seed);
    }
    EXPECT_EQ(share_link::readShareLink("?seed=4294967295" + zLink(script)).seed, 4294967295u);
    EXPECT_EQ(share_link::readShareLink("#s=").kind, share_link::LinkKind::emptyScript);
    for (const char* none : {"", "https://example.org/lw/?seed=7", "#x=abc", "z=abc"}) {
        EXPECT_EQ(share_link::readShareLink(none).kind, share_link::LinkKind::notALink) << none;
    }
}

TEST(ShareLink, CutShortAlteredOrInflatedPastItsLengthIsDamaged) {
    const std::string script = "actset: 80, 5.3\nactset: 52, 1\n";
    const std::string link = zLink(script);
    const std::string damaged[] = {
        link.substr(0, link.size() - 4),    // cut short
        zLink(script, script.size() - 1),   // inflates past its length
        zLink(script, script.size() + 1),   // ends before its length
        zLink(script, script.size(), "x"),  // bytes past the compressed text
        link.substr(0, 6) + (link[6] == 'A' ? 'B' : 'A') + link.substr(7),  // checksum altered
        link + "A",                                         // a length no base64 gives
        "#z=" + link.substr(3, 8) + "+" + link.substr(12),  // not base64url
        "#z=",
        "#s=" + base64url("\xc0\xaf"),  // not UTF-8 (an overlong '/')
        zLink("\xed\xa0\x80"),          // a surrogate
    };
    for (const std::string& text : damaged) {
        EXPECT_EQ(share_link::readShareLink(text).kind, share_link::LinkKind::damaged) << text;
    }
}

// The expanded text is bounded as on the page: a link may hold up to maxLinkedScript bytes; one
// that says it holds more is refused before anything is inflated, and one that inflates past what
// it says is damaged.
TEST(ShareLink, ExpandsToAtMostTheLongestScript) {
    const std::string longest(share_link::maxLinkedScript, 'a');
    EXPECT_EQ(share_link::readShareLink(zLink(longest)).text.size(), share_link::maxLinkedScript);
    const share_link::ShareLink longer = share_link::readShareLink(zLink(longest + "a"));
    EXPECT_EQ(longer.kind, share_link::LinkKind::tooLarge);
    EXPECT_EQ(longer.length, share_link::maxLinkedScript + 1);
    EXPECT_EQ(share_link::readShareLink("#s=" + base64url(longest + "a")).kind,
              share_link::LinkKind::tooLarge);
    EXPECT_EQ(share_link::readShareLink(zLink(longest, 10)).kind, share_link::LinkKind::damaged);
}

}  // namespace
