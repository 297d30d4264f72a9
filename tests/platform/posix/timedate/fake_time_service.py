#!/usr/bin/python3
"""A stand-in for systemd's time service on a private test bus.

Claims org.freedesktop.timedate1 on the bus at --address, serves SetTime on
/org/freedesktop/timedate1 and appends one line per call to --record:
    <signature> <usec_utc> <relative> <interactive> <allow-interactive-flag>
then answers as --answer says:
    accept               an empty reply: the clock "was set"
    error:NAME           an error reply named NAME
    silent               no reply at all (the caller runs into its timeout)
    vanish               leave the bus without replying
Prints "ready" on stdout once the name is owned. It never touches any clock.
"""
import argparse
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.timedate1"
PATH = "/org/freedesktop/timedate1"


class FakeTimeService(dbus.service.Object):
    def __init__(self, bus, record, answer):
        super().__init__(bus, PATH)
        self._record = record
        self._answer = answer
        self._unanswered = []

    @dbus.service.method(NAME, in_signature="xbb", out_signature="", message_keyword="message",
                         async_callbacks=("reply", "fail"))
    def SetTime(self, usec_utc, relative, interactive, message, reply, fail):
        with open(self._record, "a", encoding="ascii") as out:
            out.write("%s %d %d %d %d\n" % (message.get_signature(), usec_utc, bool(relative),
                                            bool(interactive),
                                            message.get_allow_interactive_authorization()))
        if self._answer == "accept":
            reply()
        elif self._answer.startswith("error:"):
            fail(dbus.exceptions.DBusException("refused by the test", name=self._answer[6:]))
        elif self._answer == "silent":
            self._unanswered.append(reply)
        elif self._answer == "vanish":
            os._exit(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--record", required=True)
    parser.add_argument("--answer", default="accept")
    args = parser.parse_args()

    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(args.address)
    owned = bus.request_name(NAME, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    if owned != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
        print("name already owned", file=sys.stderr)
        return 1
    service = FakeTimeService(bus, args.record, args.answer)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del service
    return 0


if __name__ == "__main__":
    sys.exit(main())
