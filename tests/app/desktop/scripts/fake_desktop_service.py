#!/usr/bin/env python3
"""Stand-ins for desktop services on the bus at --address: "screensaver" (org.freedesktop.
ScreenSaver: Inhibit, UnInhibit) or "logind" (org.freedesktop.login1.Manager: CanPowerOff,
PowerOff). Prints "READY" once the name is owned, then "CALL <method> <args>" for every call."""
import argparse

import dbus
import dbus.bus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

parser = argparse.ArgumentParser()
parser.add_argument('service', choices=['screensaver', 'logind'])
parser.add_argument('--address', required=True)
parser.add_argument('--can-power-off', default='yes')
parser.add_argument('--refuse-power-off', action='store_true')
args = parser.parse_args()


def call(*words):
    print('CALL', *words, flush=True)


class ScreenSaver(dbus.service.Object):
    IFACE = 'org.freedesktop.ScreenSaver'
    cookie = 0

    @dbus.service.method(IFACE, in_signature='ss', out_signature='u')
    def Inhibit(self, app, reason):
        ScreenSaver.cookie += 7
        call('Inhibit', app, reason, '->', ScreenSaver.cookie)
        return dbus.UInt32(ScreenSaver.cookie)

    @dbus.service.method(IFACE, in_signature='u', out_signature='')
    def UnInhibit(self, cookie):
        call('UnInhibit', int(cookie))


class Logind(dbus.service.Object):
    IFACE = 'org.freedesktop.login1.Manager'

    @dbus.service.method(IFACE, in_signature='', out_signature='s')
    def CanPowerOff(self):
        call('CanPowerOff')
        return args.can_power_off

    @dbus.service.method(IFACE, in_signature='b', out_signature='')
    def PowerOff(self, interactive):
        call('PowerOff', bool(interactive))
        if args.refuse_power_off:
            raise dbus.exceptions.DBusException('refused by test',
                                                name='org.freedesktop.DBus.Error.AccessDenied')


DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(args.address)
if args.service == 'screensaver':
    name = dbus.service.BusName('org.freedesktop.ScreenSaver', bus, do_not_queue=True)
    obj = ScreenSaver(bus, '/org/freedesktop/ScreenSaver')
else:
    name = dbus.service.BusName('org.freedesktop.login1', bus, do_not_queue=True)
    obj = Logind(bus, '/org/freedesktop/login1')
print('READY', flush=True)
GLib.MainLoop().run()
