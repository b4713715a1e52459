/* tarvolin-trigger INTERFACE [FREQUENCY]
 *
 * Asks the kernel (nl80211) to start an active scan on one wireless
 * interface, of every channel or, with FREQUENCY (MHz), of that channel
 * alone, and does nothing else. This is the only part of Tarvolin that
 * may hold a capability (cap_net_admin, which the kernel wants for a scan
 * request): the window and the command-line tools run it when their own
 * request is refused. Hence it is small, written in C against libc and
 * libnl only, accepts one or two arguments and checks them before use, reads
 * no environment, files or configuration, and prints one line on failure.
 *
 * Exit statuses are those of platform/devices/nl80211/TriggerContract.h.
 */
#include "platform/devices/nl80211/TriggerContract.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/nl80211.h>
#include <net/if.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* The frequencies a scan may be limited to, in MHz: the 2.4, 4.9, 5 and
 * 6 GHz bands. */
#define MIN_FREQUENCY 2400
#define MAX_FREQUENCY 7125

/* The state of one request, filled in by the callbacks. */
struct exchange {
    unsigned expected_index; /* GET_INTERFACE: the index its reply must carry */
    int answered;            /* GET_INTERFACE: a reply for that index came */
    int error;               /* the kernel's negative errno, or 0 */
    int done;
};

/* A helper started with fd 0, 1 or 2 closed would get its netlink socket on
 * one of them and could write its message into the socket. */
static void open_standard_streams(void)
{
    for (int fd = 0; fd < 3; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        /* The lowest free descriptor is fd itself. */
        if (open("/dev/null", O_RDWR) != fd)
            _exit(TRIGGER_FAILED);
    }
}

/* Interface names as the kernel makes them and people give them: 1 to 15
 * characters of letters, digits, '-', '_' and '.', not starting with '-'
 * and not "." or "..". Anything else is refused before it is used. */
static int valid_name(const char* name)
{
    const size_t length = strnlen(name, IF_NAMESIZE);
    if (length == 0 || length >= IF_NAMESIZE || name[0] == '-' || strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        return 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = name[i];
        const int good = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                         c == '_' || c == '.';
        if (!good)
            return 0;
    }
    return 1;
}

/* A frequency as people write it: 4 digits, nothing else (no sign, no
 * blanks, no unit), within the bands above. Returns 0 for anything else. */
static unsigned parse_frequency(const char* text)
{
    const size_t length = strnlen(text, 5);
    if (length != 4)
        return 0;
    unsigned value = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        value = value * 10 + (unsigned)(text[i] - '0');
    }
    return value >= MIN_FREQUENCY && value <= MAX_FREQUENCY ? value : 0;
}

static int on_valid(struct nl_msg* message, void* context)
{
    struct exchange* exchange = context;
    struct nlattr* attributes[NL80211_ATTR_MAX + 1];
    struct genlmsghdr* header = nlmsg_data(nlmsg_hdr(message));
    if (nla_parse(attributes, NL80211_ATTR_MAX, genlmsg_attrdata(header, 0), genlmsg_attrlen(header, 0), NULL) == 0 &&
        attributes[NL80211_ATTR_IFINDEX] && nla_len(attributes[NL80211_ATTR_IFINDEX]) >= 4 &&
        nla_get_u32(attributes[NL80211_ATTR_IFINDEX]) == exchange->expected_index)
        exchange->answered = 1;
    return NL_OK;
}

static int on_ack(struct nl_msg* message, void* context)
{
    (void)message;
    ((struct exchange*)context)->done = 1;
    return NL_STOP;
}

static int on_error(struct sockaddr_nl* from, struct nlmsgerr* error, void* context)
{
    (void)from;
    struct exchange* exchange = context;
    exchange->error = error->error < 0 ? error->error : -EIO;
    exchange->done = 1;
    return NL_STOP;
}

/* Sends one nl80211 command for the interface and reads the answer. Returns
 * 0 or a negative errno (-EIO when the socket itself fails). A scan request
 * with a frequency other than 0 visits that frequency alone. */
static int transact(struct nl_sock* socket, int family, unsigned index, int command, unsigned frequency,
                    struct exchange* exchange)
{
    int result = -ENOMEM;
    struct nl_msg* message = nlmsg_alloc();
    struct nl_cb* callbacks = nl_cb_alloc(NL_CB_DEFAULT);
    if (!message || !callbacks || !genlmsg_put(message, NL_AUTO_PORT, NL_AUTO_SEQ, family, 0, 0, command, 0) ||
        nla_put_u32(message, NL80211_ATTR_IFINDEX, index) < 0)
        goto out;
    if (command == NL80211_CMD_TRIGGER_SCAN) {
        /* One SSID of length zero, the wildcard: the radio sends probe
         * requests, and access points answer at once instead of at their
         * next beacon. */
        struct nlattr* ssids = nla_nest_start(message, NL80211_ATTR_SCAN_SSIDS);
        if (!ssids || nla_put(message, 1, 0, "") < 0)
            goto out;
        nla_nest_end(message, ssids);
        if (frequency != 0) {
            struct nlattr* frequencies = nla_nest_start(message, NL80211_ATTR_SCAN_FREQUENCIES);
            if (!frequencies || nla_put_u32(message, 1, frequency) < 0)
                goto out;
            nla_nest_end(message, frequencies);
        }
    }
    nl_cb_set(callbacks, NL_CB_VALID, NL_CB_CUSTOM, on_valid, exchange);
    nl_cb_set(callbacks, NL_CB_ACK, NL_CB_CUSTOM, on_ack, exchange);
    nl_cb_err(callbacks, NL_CB_CUSTOM, on_error, exchange);
    result = -EIO;
    if (nl_send_auto(socket, message) < 0)
        goto out;
    while (!exchange->done)
        if (nl_recvmsgs(socket, callbacks) < 0 && !exchange->done)
            goto out;
    result = exchange->error;
out:
    nl_cb_put(callbacks);
    nlmsg_free(message);
    return result;
}

static int fail(const char* name, const char* why, int status)
{
    fprintf(stderr, "tarvolin-trigger: %s: %s\n", name, why);
    return status;
}

int main(int argc, char** argv)
{
    /* Nothing from the caller's environment is used: empty it before any
     * code here could read it. libnl read NLDBG when it was loaded; its
     * debug output is switched off again. */
    clearenv();
    nl_debug = 0;
    open_standard_streams();

    if (argc != 2 && argc != 3) {
        fputs("usage: tarvolin-trigger INTERFACE [FREQUENCY]\n", stderr);
        return TRIGGER_USAGE;
    }
    const char* name = argv[1];
    if (!valid_name(name)) {
        fputs("tarvolin-trigger: not an interface name\n", stderr);
        return TRIGGER_BAD_NAME;
    }
    unsigned frequency = 0;
    if (argc == 3 && (frequency = parse_frequency(argv[2])) == 0) {
        fputs("tarvolin-trigger: the frequency must be a number of MHz from 2400 to 7125\n", stderr);
        return TRIGGER_BAD_FREQUENCY;
    }
    const unsigned index = if_nametoindex(name);
    if (index == 0)
        return fail(name, "no such interface", TRIGGER_NO_INTERFACE);

    struct nl_sock* socket = nl_socket_alloc();
    if (!socket || genl_connect(socket) < 0) {
        nl_socket_free(socket);
        return fail(name, "cannot open a netlink socket", TRIGGER_FAILED);
    }
    int status = TRIGGER_STARTED;
    const int family = genl_ctrl_resolve(socket, NL80211_GENL_NAME);
    if (family < 0) {
        status = fail(name, "this kernel has no nl80211 (no wireless support)", TRIGGER_NOT_WIRELESS);
        goto out;
    }

    struct exchange lookup = {.expected_index = index};
    const int found = transact(socket, family, index, NL80211_CMD_GET_INTERFACE, 0, &lookup);
    if (found == -ENODEV || found == -EOPNOTSUPP || found == -EINVAL || (found == 0 && !lookup.answered)) {
        status = fail(name, "not a wireless interface", TRIGGER_NOT_WIRELESS);
        goto out;
    }
    if (found != 0) {
        status = fail(name, strerror(-found), TRIGGER_FAILED);
        goto out;
    }

    struct exchange scan = {.expected_index = index};
    const int started = transact(socket, family, index, NL80211_CMD_TRIGGER_SCAN, frequency, &scan);
    /* A scan already under way brings fresh results all the same. */
    if (started == 0 || started == -EBUSY)
        status = TRIGGER_STARTED;
    else if (started == -EPERM || started == -EACCES)
        status = fail(name, "not permitted (this helper needs cap_net_admin)", TRIGGER_NOT_PERMITTED);
    else if (started == -ENETDOWN)
        status = fail(name, "the interface is down", TRIGGER_DOWN);
    /* The kernel refuses a frequency that is none of the radio's channels,
     * or one it may not use here. */
    else if (started == -EINVAL && frequency != 0)
        status = fail(name, "the radio has no channel it may scan at that frequency", TRIGGER_NO_CHANNEL);
    else
        status = fail(name, strerror(-started), TRIGGER_FAILED);
out:
    nl_socket_free(socket);
    return status;
}
