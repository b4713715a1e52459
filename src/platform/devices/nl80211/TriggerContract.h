/* What tarvolin-trigger's exit status means: the contract between the helper
 * (tools/tarvolin-trigger, which includes this file) and the runner here that
 * turns each status into an error code. Plain C, because the helper is
 * written in C so that it links against nothing but libc and libnl. */
#ifndef TARVOLIN_TRIGGER_CONTRACT_H
#define TARVOLIN_TRIGGER_CONTRACT_H

enum TriggerExit {
    TRIGGER_STARTED = 0,       /* the kernel started a scan, or one was already running */
    TRIGGER_FAILED = 1,        /* netlink or nl80211 cannot be used, or another kernel error */
    TRIGGER_USAGE = 2,         /* not one or two arguments */
    TRIGGER_BAD_NAME = 3,      /* the argument cannot be an interface name */
    TRIGGER_NO_INTERFACE = 4,  /* no interface has that name */
    TRIGGER_NOT_WIRELESS = 5,  /* the interface is not an nl80211 wireless interface */
    TRIGGER_NOT_PERMITTED = 6, /* the kernel refused: the helper lacks cap_net_admin */
    TRIGGER_DOWN = 7,          /* the interface is down */
    TRIGGER_BAD_FREQUENCY = 8, /* the frequency is not a whole number of MHz from 2400 to 7125 */
    TRIGGER_NO_CHANNEL = 9     /* the radio has no channel it may scan at that frequency */
};

#endif
