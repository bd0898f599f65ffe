#!/usr/bin/env python3
"""Checks the resources linked into the program: both dialog templates, the
message table, the icon group, the version block and the manifest.

The templates are decoded here byte by byte rather than read back from the .rc,
because windres rewrites styles (an explicit style list drops a statement's
default bits) and the compiled template is what Windows builds the window from.

Usage: resources_test.py PROGRAM.exe [unittest options]
       ZC_EXE=PROGRAM.exe resources_test.py [unittest options]
"""
import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

import pefile

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 5, 6, 14, 16, 24
TYPE_NAMES = {RT_ICON: 'RT_ICON', RT_DIALOG: 'RT_DIALOG', RT_STRING: 'RT_STRING',
              RT_GROUP_ICON: 'RT_GROUP_ICON', RT_VERSION: 'RT_VERSION',
              RT_MANIFEST: 'RT_MANIFEST'}
LANG_EN_US = 0x0409

# Window styles
WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_VSCROLL = 0x00200000
WS_HSCROLL = 0x00100000
WS_SYSMENU = 0x00080000
WS_GROUP = 0x00020000
WS_TABSTOP = 0x00010000
WS_EX_APPWINDOW = 0x00040000
# Dialog styles
DS_SETFONT = 0x40
DS_MODALFRAME = 0x80
# Control styles
BS_PUSHBUTTON = 0x0
BS_DEFPUSHBUTTON = 0x1
SS_LEFT = 0x0
SS_ICON = 0x3
SS_NOPREFIX = 0x80
LBS_NOTIFY = 0x1
LBS_SORT = 0x2
LBS_NOINTEGRALHEIGHT = 0x100

WINDOW_BITS = {
    WS_POPUP: 'WS_POPUP', WS_CHILD: 'WS_CHILD', 0x20000000: 'WS_MINIMIZE',
    WS_VISIBLE: 'WS_VISIBLE', WS_DISABLED: 'WS_DISABLED', 0x04000000: 'WS_CLIPSIBLINGS',
    0x02000000: 'WS_CLIPCHILDREN', 0x01000000: 'WS_MAXIMIZE', WS_BORDER: 'WS_BORDER',
    0x00400000: 'WS_DLGFRAME', WS_VSCROLL: 'WS_VSCROLL', WS_HSCROLL: 'WS_HSCROLL',
    WS_SYSMENU: 'WS_SYSMENU', 0x00040000: 'WS_THICKFRAME',
    WS_GROUP: 'WS_GROUP (WS_MINIMIZEBOX on a window)',
    WS_TABSTOP: 'WS_TABSTOP (WS_MAXIMIZEBOX on a window)',
}
# The low word means something different for each kind of window.
LOW_BITS = {
    'dialog': {0x1: 'DS_ABSALIGN', 0x2: 'DS_SYSMODAL', 0x4: 'DS_3DLOOK', 0x8: 'DS_FIXEDSYS',
               0x10: 'DS_NOFAILCREATE', 0x20: 'DS_LOCALEDIT', DS_SETFONT: 'DS_SETFONT',
               DS_MODALFRAME: 'DS_MODALFRAME', 0x100: 'DS_NOIDLEMSG', 0x200: 'DS_SETFOREGROUND',
               0x400: 'DS_CONTROL', 0x800: 'DS_CENTER', 0x1000: 'DS_CENTERMOUSE',
               0x2000: 'DS_CONTEXTHELP'},
    'LISTBOX': {LBS_NOTIFY: 'LBS_NOTIFY', LBS_SORT: 'LBS_SORT', 0x4: 'LBS_NOREDRAW',
                0x8: 'LBS_MULTIPLESEL', 0x10: 'LBS_OWNERDRAWFIXED',
                0x20: 'LBS_OWNERDRAWVARIABLE', 0x40: 'LBS_HASSTRINGS',
                0x80: 'LBS_USETABSTOPS', LBS_NOINTEGRALHEIGHT: 'LBS_NOINTEGRALHEIGHT',
                0x200: 'LBS_MULTICOLUMN', 0x400: 'LBS_WANTKEYBOARDINPUT',
                0x800: 'LBS_EXTENDEDSEL', 0x1000: 'LBS_DISABLENOSCROLL',
                0x2000: 'LBS_NODATA', 0x4000: 'LBS_NOSEL'},
    'STATIC': {SS_NOPREFIX: 'SS_NOPREFIX', 0x100: 'SS_NOTIFY', 0x200: 'SS_CENTERIMAGE',
               0x1000: 'SS_SUNKEN'},
    'BUTTON': {0x20: 'BS_LEFTTEXT', 0x2000: 'BS_MULTILINE', 0x4000: 'BS_NOTIFY',
               0x8000: 'BS_FLAT'},
}
# Low-order "type" fields: an enumeration, not bits.
TYPE_FIELDS = {'STATIC': (0x1F, 'SS_'), 'BUTTON': (0x0F, 'BS_')}

PREDEFINED_CLASSES = {0x80: 'BUTTON', 0x81: 'EDIT', 0x82: 'STATIC', 0x83: 'LISTBOX',
                      0x84: 'SCROLLBAR', 0x85: 'COMBOBOX'}

IDOK, IDCANCEL, IDC_STATIC = 1, 2, -1
IDD_ABOUTBOX, IDD_MAIN = 100, 102
IDR_MAINFRAME = 128
IDC_CERT_LIST, IDC_ADD, IDC_REMOVE, IDC_GENERATE = 1000, 1001, 1002, 1003

CHILD = WS_CHILD | WS_VISIBLE
MAIN_TEXT = ('Find and Add your self-signed certificate.  Soft-reset your device, then '
             'click Generate KVF to create and Tidelink the certs.kvf file to your device.')

# font: (points, face, weight, italic, charset); only an extended template
# carries weight, italic and charset.
DIALOGS = [
    dict(resource=IDD_MAIN, extended=True,
         style=WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
         exstyle=WS_EX_APPWINDOW, rect=(0, 0, 320, 200),
         caption='Zendry Certificate Authority Updater',
         font=(8, 'MS Sans Serif', 400, 0, 1)),
    dict(resource=IDD_ABOUTBOX, extended=False,
         style=WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
         exstyle=0, rect=(0, 0, 235, 55), caption='About ZendryCertificates',
         font=(8, 'MS Sans Serif', None, None, None)),
]

# Controls in template order (which is the tab order): id, class, text, rect, style.
# A text given as an int is a resource ordinal (the static icon's picture).
CONTROLS = {
    IDD_MAIN: [
        (IDCANCEL, 'BUTTON', 'Cancel', (233, 169, 50, 14),
         CHILD | WS_TABSTOP | BS_PUSHBUTTON),
        (IDC_STATIC, 'STATIC', MAIN_TEXT, (17, 20, 281, 20),
         CHILD | WS_GROUP | SS_LEFT),
        (IDC_CERT_LIST, 'LISTBOX', '', (111, 60, 184, 93),
         CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY
         | LBS_NOINTEGRALHEIGHT),
        (IDC_ADD, 'BUTTON', 'Add...', (21, 62, 74, 14),
         CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON),
        (IDC_REMOVE, 'BUTTON', 'Remove', (21, 82, 74, 14),
         CHILD | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON),
        (IDC_GENERATE, 'BUTTON', 'Generate KVF', (21, 102, 74, 14),
         CHILD | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON),
    ],
    IDD_ABOUTBOX: [
        (IDC_STATIC, 'STATIC', IDR_MAINFRAME, (11, 17, 20, 20), CHILD | SS_ICON),
        (IDC_STATIC, 'STATIC', 'ZendryCertificates Version 1.0', (40, 10, 119, 8),
         CHILD | WS_GROUP | SS_LEFT | SS_NOPREFIX),
        (IDC_STATIC, 'STATIC', None, (40, 25, 119, 8), CHILD | WS_GROUP | SS_LEFT),
        (IDOK, 'BUTTON', 'OK', (178, 7, 50, 14),
         CHILD | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON),
    ],
}

STRINGS = {
    101: '&About ZendryCertificates...',
    102: 'Find Certificates',
    103: 'Certificate (*.cer)|*.cer|Wexel (*.ple)|*.ple|',
    104: 'Zendry Sendora.exe not found!',
    129: 'Zendry Desktop not found!',
    130: 'cert2kvf.exe not found!',
    131: 'cert2kvf.exe failed!',
}

# width, height, colours, bits per pixel
ICON_IMAGES = [(32, 32, 16, 4), (16, 16, 16, 4)]
STANDARD_PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

VERSION_STRINGS = {
    'FileDescription': 'ZendryCertificates MFC Application',
    'FileVersion': '1, 0, 0, 1',
    'InternalName': 'ZendryCertificates',
    'OriginalFilename': 'ZendryCertificates.EXE',
    'ProductName': 'ZendryCertificates Application',
    'ProductVersion': '1, 0, 0, 1',
}
VERSION_1_0_0_1 = (0x00010000, 0x00000001)  # (most, least significant DWORD)

SUPPORTED_OS = {
    '{e2011457-1546-43c5-a5fe-008deee3d3f0}',  # Vista
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}',  # 7
    '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',  # 8
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}',  # 8.1
    '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}',  # 10 and 11
}


# ---------------------------------------------------------------- decoding

class Reader:
    def __init__(self, data, offset=0):
        self.data, self.pos = data, offset

    def take(self, fmt):
        values = struct.unpack_from('<' + fmt, self.data, self.pos)
        self.pos += struct.calcsize('<' + fmt)
        return values if len(values) > 1 else values[0]

    def align(self, n=4):
        self.pos += -self.pos % n

    def wstr(self):
        end = self.pos
        while self.data[end:end + 2] != b'\0\0':
            end += 2
            if end >= len(self.data):
                raise ValueError(f'unterminated string at offset {self.pos}')
        text = self.data[self.pos:end].decode('utf-16-le')
        self.pos = end + 2
        return text

    def sz_or_ord(self):
        """None for 0x0000, an int for 0xFFFF + ordinal, else a string."""
        first = struct.unpack_from('<H', self.data, self.pos)[0]
        if first == 0:
            self.pos += 2
            return None
        if first == 0xFFFF:
            self.pos += 2
            return self.take('H')
        return self.wstr()


def class_name(value):
    if isinstance(value, int):
        return PREDEFINED_CLASSES.get(value, f'#{value:#x}')
    # The predefined classes may also be named; Windows matches them in any case.
    return value.upper() if value and value.upper() in PREDEFINED_CLASSES.values() else value


def parse_dialog(data):
    """Decodes a DLGTEMPLATE or DLGTEMPLATEEX with its items."""
    r = Reader(data)
    ver, sig = struct.unpack_from('<HH', data, 0)
    dlg = {'extended': ver == 1 and sig == 0xFFFF}
    if dlg['extended']:
        r.pos = 4
        dlg['help_id'], dlg['exstyle'], dlg['style'] = r.take('III')
    else:
        dlg['help_id'] = 0
        dlg['style'], dlg['exstyle'] = r.take('II')
    count = r.take('H')
    dlg['rect'] = r.take('hhhh')
    dlg['menu'] = r.sz_or_ord()
    dlg['class'] = r.sz_or_ord()
    dlg['caption'] = r.sz_or_ord()
    dlg['font'] = None
    if dlg['style'] & DS_SETFONT:
        size = r.take('H')
        weight = italic = charset = None
        if dlg['extended']:
            weight, italic, charset = r.take('HBB')
        dlg['font'] = (size, r.wstr(), weight, italic, charset)
    items = []
    for _ in range(count):
        r.align()
        item = {}
        if dlg['extended']:
            item['help_id'], item['exstyle'], item['style'] = r.take('III')
            item['rect'] = r.take('hhhh')
            raw_id = r.take('I')
        else:
            item['help_id'] = 0
            item['style'], item['exstyle'] = r.take('II')
            item['rect'] = r.take('hhhh')
            raw_id = r.take('H')
        # WM_COMMAND and GetDlgItem see only the low word: 0xFFFF and
        # 0xFFFFFFFF are both IDC_STATIC.
        item['id'] = struct.unpack('<h', struct.pack('<H', raw_id & 0xFFFF))[0]
        item['class'] = class_name(r.sz_or_ord())
        text = r.sz_or_ord()
        item['text'] = '' if text is None else text
        extra = r.take('H')
        item['extra'] = data[r.pos:r.pos + extra]
        r.pos += extra
        items.append(item)
    dlg['items'] = items
    dlg['trailing'] = data[r.pos:]
    return dlg


def parse_string_block(block_id, data):
    """An RT_STRING block holds 16 counted strings, ids (block-1)*16 onwards."""
    r, strings = Reader(data), {}
    for i in range(16):
        length = r.take('H')
        if length:
            strings[(block_id - 1) * 16 + i] = data[r.pos:r.pos + 2 * length].decode('utf-16-le')
        r.pos += 2 * length
    return strings


def parse_version_node(data, offset=0):
    """One node of a VS_VERSIONINFO tree: (key, value bytes, value type, children)."""
    length, value_length, value_type = struct.unpack_from('<HHH', data, offset)
    end = offset + length
    r = Reader(data, offset + 6)
    key = r.wstr()
    r.align()
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[r.pos:min(r.pos + value_bytes, end)]
    r.pos += value_bytes
    children = []
    while True:
        r.align()
        if r.pos >= end:
            break
        child = parse_version_node(data, r.pos)
        children.append(child)
        r.pos += struct.unpack_from('<H', data, r.pos)[0]
    return key, value, value_type, children


def text_value(value):
    return value.decode('utf-16-le').split('\0', 1)[0]


def style_difference(actual, expected, kind):
    diff = actual ^ expected
    low = LOW_BITS.get(kind, {})
    notes = []
    if kind in TYPE_FIELDS:
        mask, prefix = TYPE_FIELDS[kind]
        if diff & mask:
            notes.append(f'{prefix} type {actual & mask:#x}, expected {expected & mask:#x}')
        diff &= ~mask
    for bit in range(32):
        flag = 1 << bit
        if diff & flag:
            name = WINDOW_BITS.get(flag) if flag > 0xFFFF else low.get(flag)
            name = name or f'{flag:#x}'
            notes.append(('extra ' if actual & flag else 'missing ') + name)
    return f'style {actual:#010x}, expected {expected:#010x}: ' + ', '.join(notes)


def describe_text(text):
    return f'ordinal {text}' if isinstance(text, int) else repr(text)


# ---------------------------------------------------------------- loading

RESOURCES = {}  # (type, name) -> {language: bytes}


def load_resources(path):
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(
        directories=[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_RESOURCE']])
    if not hasattr(pe, 'DIRECTORY_ENTRY_RESOURCE'):
        raise SystemExit(f'{path}: no resources at all')
    found = {}
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_key = rtype.id if rtype.id is not None else str(rtype.name)
        for rname in rtype.directory.entries:
            name_key = rname.id if rname.id is not None else str(rname.name)
            for rlang in rname.directory.entries:
                entry = rlang.data.struct
                found.setdefault((type_key, name_key), {})[rlang.id] = \
                    pe.get_data(entry.OffsetToData, entry.Size)
    return found


def resource(rtype, name):
    """The US English data of one resource; fails the test when absent."""
    langs = RESOURCES.get((rtype, name))
    if not langs:
        raise AssertionError(f'{TYPE_NAMES.get(rtype, rtype)} {name} is missing')
    if LANG_EN_US not in langs:
        raise AssertionError(f'{TYPE_NAMES.get(rtype, rtype)} {name} has no US English '
                             f'version (languages {sorted(hex(l) for l in langs)})')
    return langs[LANG_EN_US]


# ---------------------------------------------------------------- tests

class LanguageAndInventoryTest(unittest.TestCase):
    def test_every_resource_is_us_english_only(self):
        self.assertTrue(RESOURCES)
        for (rtype, name), langs in sorted(RESOURCES.items(), key=str):
            with self.subTest(type=TYPE_NAMES.get(rtype, rtype), name=name):
                self.assertEqual(sorted(langs), [LANG_EN_US],
                                 f'languages {[hex(l) for l in sorted(langs)]}')

    def test_resources_are_exactly_the_programs(self):
        expected = {(RT_DIALOG, IDD_ABOUTBOX), (RT_DIALOG, IDD_MAIN),
                    (RT_GROUP_ICON, IDR_MAINFRAME), (RT_VERSION, 1), (RT_MANIFEST, 1)}
        expected |= {(RT_STRING, sid // 16 + 1) for sid in STRINGS}
        expected |= {(RT_ICON, n) for n in icon_group_ids()}
        actual = set(RESOURCES)
        self.assertEqual(sorted(actual - expected, key=str), [], 'unexpected resources')
        self.assertEqual(sorted(expected - actual, key=str), [], 'missing resources')


class DialogTemplateTest(unittest.TestCase):
    def test_templates(self):
        for want in DIALOGS:
            name = want['resource']
            with self.subTest(dialog=name):
                dlg = parse_dialog(resource(RT_DIALOG, name))
                kind = 'DLGTEMPLATEEX' if want['extended'] else 'DLGTEMPLATE'
                self.assertEqual(dlg['extended'], want['extended'], f'{name} is not a {kind}')
                self.assertEqual(f"{dlg['style']:#010x}", f"{want['style']:#010x}",
                                 style_difference(dlg['style'], want['style'], 'dialog'))
                self.assertEqual(f"{dlg['exstyle']:#010x}", f"{want['exstyle']:#010x}",
                                 'ex-style')
                self.assertEqual(dlg['help_id'], 0, 'help id')
                self.assertEqual(dlg['rect'], want['rect'], 'x, y, width, height')
                self.assertIsNone(dlg['menu'], 'menu')
                self.assertIsNone(dlg['class'], 'window class')
                self.assertEqual(dlg['caption'], want['caption'], 'caption')
                self.assertEqual(dlg['font'], want['font'],
                                 'font (points, face, weight, italic, charset)')
                self.assertEqual(dlg['trailing'].strip(b'\0'), b'',
                                 'data after the last control')

    def test_controls(self):
        for name, controls in CONTROLS.items():
            dlg = parse_dialog(resource(RT_DIALOG, name))
            ids = [item['id'] for item in dlg['items']]
            self.assertEqual(ids, [c[0] for c in controls],
                             f'dialog {name}: control ids in template order')
            for index, (item, want) in enumerate(zip(dlg['items'], controls)):
                ident, cls, text, rect, style = want
                with self.subTest(dialog=name, control=index, id=ident):
                    where = f'dialog {name}, control {index} (id {ident})'
                    self.assertEqual(item['class'], cls, f'{where}: class')
                    if text is None:  # free text, but some
                        self.assertIsInstance(item['text'], str, f'{where}: text')
                        self.assertTrue(item['text'].strip(), f'{where}: empty text')
                    else:
                        self.assertEqual(item['text'], text,
                                         f'{where}: text {describe_text(item["text"])}, '
                                         f'expected {describe_text(text)}')
                    self.assertEqual(item['rect'], rect, f'{where}: x, y, width, height')
                    self.assertEqual(f"{item['style']:#010x}", f'{style:#010x}',
                                     f'{where}: ' + style_difference(item['style'], style, cls))
                    self.assertEqual(item['exstyle'], 0, f'{where}: ex-style')
                    self.assertEqual(item['help_id'], 0, f'{where}: help id')
                    self.assertEqual(item['extra'], b'', f'{where}: creation data')

    def test_exactly_one_default_button_per_dialog(self):
        for name in CONTROLS:
            with self.subTest(dialog=name):
                dlg = parse_dialog(resource(RT_DIALOG, name))
                defaults = [item['id'] for item in dlg['items'] if item['class'] == 'BUTTON'
                            and item['style'] & 0x0F == BS_DEFPUSHBUTTON]
                self.assertEqual(len(defaults), 1, f'default push buttons: {defaults}')


class DialogDecoderTest(unittest.TestCase):
    """The decoder itself, on templates built here, so that a decoder fault
    cannot pass a wrong template."""

    @staticmethod
    def wz(text):
        return text.encode('utf-16-le') + b'\0\0'

    def test_classic_template_with_ordinals(self):
        body = struct.pack('<IIHhhhh', WS_POPUP | DS_SETFONT, 0, 1, 1, 2, 3, 4)
        body += b'\0\0' + b'\0\0' + self.wz('T') + struct.pack('<H', 9) + self.wz('F')
        body += b'\0' * (-len(body) % 4)
        body += struct.pack('<IIhhhhH', CHILD | SS_ICON, 0, 5, 6, 7, 8, 0xFFFF)
        body += struct.pack('<HH', 0xFFFF, 0x82) + struct.pack('<HH', 0xFFFF, 128)
        body += struct.pack('<H', 0)
        dlg = parse_dialog(body)
        self.assertFalse(dlg['extended'])
        self.assertEqual(dlg['rect'], (1, 2, 3, 4))
        self.assertEqual((dlg['caption'], dlg['font']), ('T', (9, 'F', None, None, None)))
        (item,) = dlg['items']
        self.assertEqual((item['id'], item['class'], item['text'], item['rect']),
                         (-1, 'STATIC', 128, (5, 6, 7, 8)))

    def test_extended_template_with_names_and_creation_data(self):
        body = struct.pack('<HHIIIHhhhh', 1, 0xFFFF, 0, WS_EX_APPWINDOW,
                           WS_POPUP | DS_SETFONT, 2, 0, 0, 10, 10)
        body += b'\0\0' + b'\0\0' + self.wz('Cap') + struct.pack('<HHBB', 8, 700, 1, 0)
        body += self.wz('Face')
        for ident, cls, extra in ((7, 'Button', b''), (0xFFFFFFFF, 'listbox', b'ab')):
            body += b'\0' * (-len(body) % 4)
            body += struct.pack('<IIIhhhhI', 0, 0, CHILD, 1, 2, 3, 4, ident)
            body += self.wz(cls) + self.wz('x') + struct.pack('<H', len(extra)) + extra
        dlg = parse_dialog(body)
        self.assertTrue(dlg['extended'])
        self.assertEqual(dlg['exstyle'], WS_EX_APPWINDOW)
        self.assertEqual(dlg['font'], (8, 'Face', 700, 1, 0))
        self.assertEqual([(i['id'], i['class'], i['extra']) for i in dlg['items']],
                         [(7, 'BUTTON', b''), (-1, 'LISTBOX', b'ab')])

    def test_style_difference_names_the_bits(self):
        cases = [
            (CHILD | WS_TABSTOP, CHILD | WS_DISABLED | WS_TABSTOP, 'BUTTON', 'missing WS_DISABLED'),
            (CHILD | LBS_SORT | LBS_NOTIFY, CHILD | LBS_NOTIFY, 'LISTBOX', 'extra LBS_SORT'),
            (CHILD | BS_PUSHBUTTON, CHILD | BS_DEFPUSHBUTTON, 'BUTTON', 'BS_ type 0x0'),
            (DS_SETFONT | 0x800, DS_SETFONT, 'dialog', 'extra DS_CENTER'),
        ]
        for actual, expected, kind, note in cases:
            with self.subTest(note=note):
                self.assertIn(note, style_difference(actual, expected, kind))


class StringTableTest(unittest.TestCase):
    def test_messages(self):
        table = {}
        for (rtype, name) in RESOURCES:
            if rtype == RT_STRING:
                table.update(parse_string_block(name, resource(RT_STRING, name)))
        for ident, text in STRINGS.items():
            with self.subTest(id=ident):
                self.assertEqual(table.get(ident), text, f'message {ident}')
        self.assertEqual(sorted(set(table) - set(STRINGS)), [], 'messages nobody uses')


def icon_group_ids():
    data = resource(RT_GROUP_ICON, IDR_MAINFRAME)
    _, _, count = struct.unpack_from('<HHH', data, 0)
    return [struct.unpack_from('<BBBBHHIH', data, 6 + 14 * i)[7] for i in range(count)]


class IconTest(unittest.TestCase):
    def test_group_and_images(self):
        data = resource(RT_GROUP_ICON, IDR_MAINFRAME)
        reserved, kind, count = struct.unpack_from('<HHH', data, 0)
        self.assertEqual((reserved, kind), (0, 1), 'icon group header')
        self.assertEqual(len(data), 6 + 14 * count, 'icon group size')
        entries = [struct.unpack_from('<BBBBHHIH', data, 6 + 14 * i) for i in range(count)]
        self.assertEqual(sorted(((w, h, c, bits) for w, h, c, _, _, bits, _, _ in entries),
                                reverse=True),
                         sorted(ICON_IMAGES, reverse=True),
                         '(width, height, colours, bits per pixel) of the images')
        for width, height, colours, _, planes, bits, size, ident in entries:
            with self.subTest(image=f'{width}x{height}'):
                self.assertEqual(planes, 1, 'planes')
                image = resource(RT_ICON, ident)
                self.assertEqual(len(image), size, 'size recorded in the group')
                (hsize, w, h, hplanes, hbits, compression) = struct.unpack_from('<IiiHHI', image)
                self.assertEqual((hsize, w, h, hplanes, hbits, compression),
                                 (40, width, 2 * height, 1, 4, 0), 'BITMAPINFOHEADER')
                palette = [struct.unpack_from('<BBB', image, 40 + 4 * i)[::-1]
                           for i in range(16)]
                self.assertEqual(palette, STANDARD_PALETTE, 'palette')
                colour_bytes = ((width * 4 + 31) // 32 * 4) * height
                mask_stride = (width + 31) // 32 * 4
                self.assertEqual(len(image), 40 + 64 + colour_bytes + mask_stride * height,
                                 'colour bits followed by the AND mask')
                mask = image[40 + 64 + colour_bytes:]
                transparent = sum((mask[y * mask_stride + x // 8] >> (7 - x % 8)) & 1
                                  for y in range(height) for x in range(width))
                # A picture, not a blank square nor nothing at all.
                self.assertGreater(transparent, 0, 'no transparent pixel')
                self.assertLess(transparent, width * height // 2, 'mostly transparent')
                colours_used = {b >> 4 for b in image[104:104 + colour_bytes]} | \
                               {b & 15 for b in image[104:104 + colour_bytes]}
                self.assertGreaterEqual(len(colours_used), 4, 'colours used')


class VersionTest(unittest.TestCase):
    def setUp(self):
        self.root = parse_version_node(resource(RT_VERSION, 1))

    def test_fixed_info(self):
        key, value, _, _ = self.root
        self.assertEqual(key, 'VS_VERSION_INFO')
        self.assertEqual(len(value), 52, 'VS_FIXEDFILEINFO size')
        fields = struct.unpack('<13I', value)
        self.assertEqual(fields[0], 0xFEEF04BD, 'signature')
        self.assertEqual(fields[2:4], VERSION_1_0_0_1, 'file version')
        self.assertEqual(fields[4:6], VERSION_1_0_0_1, 'product version')
        self.assertEqual(fields[9], 1, 'file type VFT_APP')

    def test_string_and_translation_blocks(self):
        blocks = {key: children for key, _, _, children in self.root[3]}
        self.assertEqual(sorted(blocks), ['StringFileInfo', 'VarFileInfo'])
        tables = {key.upper(): children for key, _, _, children in blocks['StringFileInfo']}
        self.assertEqual(list(tables), ['040904B0'], 'string tables')
        values = {key: text_value(value) for key, value, _, _ in tables['040904B0']}
        for name, text in VERSION_STRINGS.items():
            with self.subTest(value=name):
                self.assertEqual(values.get(name), text)
        with self.subTest(value='LegalCopyright'):
            self.assertTrue(values.get('LegalCopyright', '').strip(), 'legal notice')
        variables = {key: value for key, value, _, _ in blocks['VarFileInfo']}
        translation = variables.get('Translation', b'')
        pairs = [struct.unpack_from('<HH', translation, i) for i in range(0, len(translation), 4)]
        self.assertEqual(pairs, [(0x0409, 1200)], 'translation (language, code page)')


class ManifestTest(unittest.TestCase):
    ASM1 = '{urn:schemas-microsoft-com:asm.v1}'
    ASM3 = '{urn:schemas-microsoft-com:asm.v3}'
    COMPAT = '{urn:schemas-microsoft-com:compatibility.v1}'

    def setUp(self):
        self.root = ET.fromstring(resource(RT_MANIFEST, 1))

    def test_runs_as_invoker(self):
        levels = [e.attrib for e in self.root.iter()
                  if e.tag.endswith('}requestedExecutionLevel')]
        self.assertEqual(levels, [{'level': 'asInvoker', 'uiAccess': 'false'}])

    def test_common_controls_6(self):
        deps = [e.attrib for e in self.root.iter(self.ASM1 + 'dependentAssembly')
                for e in e.iter(self.ASM1 + 'assemblyIdentity')]
        want = {'type': 'win32', 'name': 'Microsoft.Windows.Common-Controls',
                'version': '6.0.0.0', 'processorArchitecture': '*',
                'publicKeyToken': '6595b64144ccf1df'}
        self.assertEqual([{k: d.get(k) for k in want} for d in deps], [want])

    def test_supported_systems(self):
        ids = {e.get('Id', '').lower() for e in self.root.iter(self.COMPAT + 'supportedOS')}
        self.assertEqual(ids, SUPPORTED_OS)


def main():
    args = sys.argv[1:]
    path = os.environ.get('ZC_EXE')
    if args and not args[0].startswith('-'):
        path = args.pop(0)
    if not path:
        sys.exit(__doc__)
    RESOURCES.update(load_resources(path))
    unittest.main(argv=[sys.argv[0]] + args, verbosity=2)


if __name__ == '__main__':
    main()
