#!/usr/bin/env python3
"""The part of systemd's manager that the service control uses, on the session bus named by
DBUS_SESSION_BUS_ADDRESS: LoadUnit, StartUnit, EnableUnitFiles, UnmaskUnitFiles, Reload and the
unit's LoadState, ActiveState and UnitFileState. Prints "READY", then "CALL <method> <args>" for
every call."""
import argparse

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

parser = argparse.ArgumentParser()
parser.add_argument('--unit', default='NivraExService.service')
parser.add_argument('--missing', action='store_true')
parser.add_argument('--active', action='store_true')
parser.add_argument('--file-state', default='disabled')
parser.add_argument('--enable-error')
args = parser.parse_args()

MANAGER = 'org.freedesktop.systemd1.Manager'
UNIT = 'org.freedesktop.systemd1.Unit'
UNIT_PATH = '/org/freedesktop/systemd1/unit/' + args.unit.replace('.', '_2e')
state = {'LoadState': 'not-found' if args.missing else 'loaded',
         'ActiveState': 'active' if args.active else 'inactive',
         'UnitFileState': '' if args.missing else args.file_state}


def call(*words):
    print('CALL', *words, flush=True)


class Unit(dbus.service.Object):
    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature='ss', out_signature='v')
    def Get(self, interface, name):
        return dbus.String(state[name])


class Manager(dbus.service.Object):
    @dbus.service.method(MANAGER, in_signature='s', out_signature='o')
    def LoadUnit(self, name):
        call('LoadUnit', name)
        return dbus.ObjectPath(UNIT_PATH)

    @dbus.service.method(MANAGER, in_signature='ss', out_signature='o')
    def StartUnit(self, name, mode):
        call('StartUnit', name, mode)
        state['ActiveState'] = 'active'
        return dbus.ObjectPath('/org/freedesktop/systemd1/job/1')

    @dbus.service.method(MANAGER, in_signature='asbb', out_signature='ba(sss)')
    def EnableUnitFiles(self, names, runtime, force):
        call('EnableUnitFiles', *names, bool(runtime), bool(force))
        if args.enable_error:
            raise dbus.exceptions.DBusException(args.enable_error,
                                                name='org.freedesktop.DBus.Error.AccessDenied')
        state['UnitFileState'] = 'enabled'
        return True, []

    @dbus.service.method(MANAGER, in_signature='asb', out_signature='a(sss)')
    def UnmaskUnitFiles(self, names, runtime):
        call('UnmaskUnitFiles', *names, bool(runtime))
        state['UnitFileState'] = 'disabled'
        return []

    @dbus.service.method(MANAGER, in_signature='', out_signature='')
    def Reload(self):
        call('Reload')


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName('org.freedesktop.systemd1', bus)
manager = Manager(bus, '/org/freedesktop/systemd1')
unit = Unit(bus, UNIT_PATH)
print('READY', flush=True)
GLib.MainLoop().run()
