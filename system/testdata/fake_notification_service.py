#!/usr/bin/env python3
"""A stand-in for the desktop's notification service on a private session bus.

Records each Notify call as one line "application|summary|body|desktop-entry" in the file
named by the first argument, and prints "ready" once it owns the service's name.
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.Notifications"


class Service(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.record = record
        self.count = 0

    @dbus.service.method(INTERFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        with open(self.record, "a", encoding="utf-8") as out:
            out.write(f"{app}|{summary}|{body}|{hints.get('desktop-entry', '')}\n")
        self.count += 1
        return self.count


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(INTERFACE, bus, do_not_queue=True)
service = Service(bus, sys.argv[1])
print("ready", flush=True)
GLib.MainLoop().run()
