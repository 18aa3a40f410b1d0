#include "keys/DetectableAutoRepeat.h"

#include <xcb/xcb.h>
// xkb.h names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace kelvane::keys {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

} // namespace

std::string askForDetectableAutoRepeat(xcb_connection_t* connection)
{
    if (connection == nullptr || xcb_connection_has_error(connection) != 0)
        return "there is no connection to an X server";
    // Every XKB request must follow the client's use-extension request.
    const ReplyPtr<xcb_xkb_use_extension_reply_t> use(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || use->supported == 0)
        return "the X server has no keyboard extension (XKB)";
    constexpr std::uint32_t kFlag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    const ReplyPtr<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(
        connection, xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, kFlag, kFlag, 0, 0, 0), nullptr));
    if (!flags || (flags->supported & kFlag) == 0 || (flags->value & kFlag) == 0)
        return "the X server does not report held keys as repeated presses";
    return {};
}

} // namespace kelvane::keys
