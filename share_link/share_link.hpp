// Reading a share link of the playground: the script and the seed of the address that Share
// copies (web/src/shared/share.ts makes and reads the same forms), for the Linux program and
// lumenweave-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lumenweave::share_link {

// The longest script a link may expand to, as the page bounds it (maxLinkedScript in
// web/src/shared/share.ts): far above any script typed by hand, and no bomb of a link can pass it.
constexpr std::size_t maxLinkedScript = 1024 * 1024;  // bytes

enum class LinkKind {
    script,    // text holds the script
    notALink,  // no #z= or #s= fragment: not a link of the playground's
    damaged,   // cut short or altered: the length, checksum, compression or UTF-8 is wrong
    tooLarge,  // a script longer than maxLinkedScript, left unread
    emptyScript,
};

struct ShareLink {
    LinkKind kind = LinkKind::notALink;
    std::string text;                        // script: the script's UTF-8 text
    uint64_t length = 0;                     // tooLarge: the script's length, in bytes
    std::optional<uint32_t> seed;            // the query's ?seed=, when it holds one the page takes
    std::optional<std::string> refusedSeed;  // a ?seed= the page refuses, as given
};

// Reads ADDRESS: the whole address as Share copies it (http://host/index.html?seed=7#z=...), the
// query and fragment alone, or the fragment alone (#z=..., #s=...). Blanks around it are ignored,
// as a paste into a terminal may bring them.
ShareLink readShareLink(const std::string& address);

}  // namespace lumenweave::share_link
