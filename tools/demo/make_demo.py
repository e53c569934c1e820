#!/usr/bin/env python3
"""Writes the built-in demonstration panel: the design project of a small
conference venue (Demo.kvp) and its control panel (Demo.cpf). Pack them, with
the room picture, into resources/data/Korvel/Demo.cpz with the archive tool:

    python3 tools/demo/make_demo.py
    build/tools/archive/kvrarchive pack resources/data/Korvel/Demo.cpz \
        tools/demo/Demo.cpf tools/demo/Demo.kvp tools/demo/harbour_room.png

Options: --out DIR writes the two files elsewhere, --skin Dark gives the
canvas the dark skin (the screenshot script uses both).

The venue: Harbour Hall, a hall whose three rooms combine, run by one
processor (Hall DSP, ZMP-50) and a conferencing endpoint with a telephone
line (Conference Endpoint, XT-10C). Both listen on loopback, on the ports
below, where `kvrsim --design tools/demo/Demo.kvp` serves them.

The program never runs this script; the archive is committed.
"""
import argparse
import os
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))

DSP_PORT = 10155
ENDPOINT_PORT = 10156
EXIT_PIN = "1357"

DSP = "Chassis|||1"
ENDPOINT = "Chassis|||2"

# -- the design project --------------------------------------------------------

# class, cardType, typeNumber, portIndex, properties (title, label, nodeID first)
DESIGN_NODES = [
    ("Devices.ZMP", "", "0", "0",
     [("title", "ZMP-50 (Main)"), ("label", "Hall DSP"), ("nodeID", "1"), ("deviceType", "ZMP-50"),
      ("isMainZMP", "True"), ("ipAddress", "127.0.0.1"), ("ipPort", "10050"), ("monitorPort", "10051"),
      ("serialPortNumber", str(DSP_PORT))]),
    ("Input", "4ch Mic/Line Input", "2", "0", [("title", "Input 1"), ("label", "Lectern Mic"), ("nodeID", "101")]),
    ("Input", "4ch Mic/Line Input", "2", "1", [("title", "Input 2"), ("label", "Handheld Mic"), ("nodeID", "102")]),
    ("Input", "4ch Mic/Line Input", "2", "2", [("title", "Input 3"), ("label", "Panel Mic L"), ("nodeID", "103")]),
    ("Input", "4ch Mic/Line Input", "2", "3", [("title", "Input 4"), ("label", "Panel Mic R"), ("nodeID", "104")]),
    ("Output", "4ch Line Output II", "2", "0", [("title", "Output 1"), ("label", "Hall A"), ("nodeID", "111")]),
    ("Output", "4ch Line Output II", "2", "1", [("title", "Output 2"), ("label", "Hall B"), ("nodeID", "112")]),
    ("Output", "4ch Line Output II", "2", "2", [("title", "Output 3"), ("label", "Hall C"), ("nodeID", "113")]),
    ("Output", "4ch Line Output II", "2", "3", [("title", "Output 4"), ("label", "Foyer"), ("nodeID", "114")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Lectern"), ("nodeID", "201")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Handheld"), ("nodeID", "202")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Panel Left"), ("nodeID", "203")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Panel Right"), ("nodeID", "204")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Programme"), ("nodeID", "205")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Music Level"), ("nodeID", "206")]),
    ("Gain", "", "0", "0", [("title", "Gain"), ("label", "Foyer Paging"), ("nodeID", "207")]),
    ("AmmGated", "", "0", "0",
     [("title", "AMM-Gated"), ("label", "Mic Mixer"), ("nodeID", "210"), ("channelCount", "4"),
      ("inputLabel1", "Lectern"), ("inputLabel2", "Handheld"), ("inputLabel3", "Panel L"),
      ("inputLabel4", "Panel R")]),
    ("ToneEQ", "", "0", "0", [("title", "ToneEQ"), ("label", "Room EQ"), ("nodeID", "211")]),
    ("Selector", "", "4", "0",
     [("title", "Selector"), ("label", "Music Source"), ("nodeID", "212"), ("inputLabel1", "Lounge"),
      ("inputLabel2", "Jazz"), ("inputLabel3", "Radio"), ("inputLabel4", "Laptop")]),
    ("Selector", "", "3", "0",
     [("title", "Selector"), ("label", "Screen Source"), ("nodeID", "213"), ("inputLabel1", "Laptop"),
      ("inputLabel2", "Wireless"), ("inputLabel3", "Stream")]),
    ("Logic", "", "1", "0",
     [("title", "Logic"), ("label", "Room Status"), ("nodeID", "214"), ("scriptFile", "toggleff.kls"),
      ("controlCount", "4")]),
    ("Devices.Xt10", "", "0", "0",
     [("title", "XT-10C"), ("label", "Conference Endpoint"), ("nodeID", "2"), ("deviceType", "ZMP"),
      ("ipAddress", "127.0.0.1"), ("ipPort", "10050"), ("monitorPort", "10051"),
      ("serialPortNumber", str(ENDPOINT_PORT))]),
    ("PstnRx", "PSTN", "0", "0", [("title", "PSTN In"), ("label", "Telephone"), ("nodeID", "301")]),
    ("PstnTx", "PSTN", "0", "0", [("title", "PSTN Out"), ("label", "Telephone Send"), ("nodeID", "302")]),
]

ROOMS = [("401", "1", "Hall A"), ("402", "2", "Hall B"), ("403", "3", "Hall C")]
PRESETS = [("1", "Conference", "601"), ("2", "Presentation", "602"), ("3", "Banquet", "603")]


def design():
    out = ['<?xml version="1.0" encoding="Windows-1252"?>', '<Project version="4.6">',
           '  <ProjectInfo>', '    <Facility>', '      <name>Harbour Hall</name>', '    </Facility>',
           '  </ProjectInfo>', '  <Nodes>']
    for cls, card, typenum, port, props in DESIGN_NODES:
        out.append('    <Node className="Halvern.Loom.Nodes.%s" cardType="%s" typeNumber="%s" portIndex="%s">'
                   % (cls, card, typenum, port))
        for name, value in props:
            out.append('      <Property name="%s" value=%s />' % (name, quoteattr(value)))
        out.append('    </Node>')
    out += ['  </Nodes>', '  <Groups />',
            '  <RCGroups>', '    <RCGroup id="1">', '      <Property name="label" value="Harbour Hall" />',
            '      <Property name="nodeID" value="500" />', '      <Property name="comboCount" value="3" />',
            '    </RCGroup>', '  </RCGroups>', '  <ParameterSets>']
    for set_id, name, node_id in PRESETS:
        out += ['    <ParameterSet id="%s">' % set_id, '      <Property name="label" value="%s" />' % name,
                '      <Property name="nodeID" value="%s" />' % node_id, '    </ParameterSet>']
    out += ['  </ParameterSets>', '  <ParameterSetLists>', '    <PanelList id="1">',
            '      <Property name="label" value="Room Presets" />', '      <Property name="nodeID" value="700" />',
            '    </PanelList>', '  </ParameterSetLists>', '  <Assignment>', '    <RCGroup id="1">']
    for target, number, name in ROOMS:
        out.append('      <Assign targetID="%s" roomNumber="%s" roomName="%s" />' % (target, number, name))
    out += ['    </RCGroup>', '    <PanelList id="1">']
    for set_id, _, _ in PRESETS:
        out.append('      <Assign targetID="%s" />' % set_id)
    out += ['    </PanelList>', '  </Assignment>', '</Project>', '']
    return "\r\n".join(out)


NODES = {props[1][1]: (int(props[2][1]), cls) for cls, _, _, _, props in DESIGN_NODES}


def ref(label):
    """The node reference of a control bound to the design node of that label."""
    node_id, cls = NODES[label]
    category = {"Input": "Analog I/O", "Output": "Analog I/O", "PstnRx": "PSTN I/O",
                "PstnTx": "PSTN I/O"}.get(cls, "Blocks")
    return (label, node_id, category, ENDPOINT if cls.startswith("Pstn") else DSP)


def room_ref(label):
    target = [t for t, _, name in ROOMS if name == label][0]
    return (label, int(target), "RCRooms", DSP)


GROUP_REF = ("Harbour Hall", 500, "RCGroups", DSP)
PRESET_LIST_REF = ("Room Presets", 700, "ParameterSetLists", DSP)

# -- widgets -------------------------------------------------------------------

ACCENT_FILL = "#FF1D98D5"
CARD_BORDER = "#FFA8AAAD"


def geometry(x, y, w, h, z):
    return [("x", x), ("y", y), ("width", w), ("height", h), ("z", z)]


def frame(x, y, w, h, fill="#00000000", border=CARD_BORDER, has_border=1):
    return ("frame", geometry(x, y, w, h, 0) + [
        ("shape", "box"), ("shadow", "plain"), ("fieldcolor", fill), ("bordercolor", border),
        ("borderwidth", 1), ("hasBorder", has_border)])


def label(x, y, w, h, text, face="", align="center", color=None, scale=1, autosize=False, select=False):
    keys = geometry(x, y, w, h, 2) + [("text", text), ("align", align), ("face", face)]
    if color:
        keys.append(("color", color))
    keys += [("rotation", 0), ("scale", scale), ("edit", "false"), ("select", "true" if select else "false"),
             ("autosize", "true" if autosize else "false")]
    return ("label", keys)


def range_attributes(index1=0, index2=0, struct=0, minimum=0, maximum=0, step=0, units="", fmt="",
                     transform="", call_type=""):
    keys = []
    if index1 > 0:
        keys.append(("index1", index1))
    if index2 > 0:
        keys.append(("index2", index2))
    if struct:
        keys.append(("struct", struct))
    keys += [("enableEdit", 1), ("minimum", minimum), ("minLimit", minimum), ("maximum", maximum),
             ("maxLimit", maximum), ("step", step), ("units", units), ("format", fmt), ("transform", transform),
             ("cardPin", -1)]
    if call_type:
        keys.append(("callType", call_type))
    return ("range", keys)


def list_attributes(index1=0, index2=0, struct=0, values="", fmt="nn", transform="bin8", actions=(),
                    do_not_poll=False):
    keys = []
    if index1 > 0:
        keys.append(("index1", index1))
    if index2 > 0:
        keys.append(("index2", index2))
    if struct:
        keys.append(("struct", struct))
    keys += [("enableEdit", 1), ("set", values), ("format", fmt), ("transform", transform), ("cardPin", -1)]
    keys += [("action", a) for a in actions]
    if do_not_poll:
        keys.append(("doNotPoll", 1))
    return ("list", keys)


NO_ATTRIBUTES = range_attributes()
MUTE = list_attributes(index1=2, values="F,O,T", transform="chrL")


class Panel:
    """The controls of one panel, in control-area units (280 x 400)."""

    def __init__(self, name, kind="complete"):
        self.name, self.kind, self.controls = name, kind, []

    def add(self, name, ctype, widgets, attributes=NO_ATTRIBUTES, node=None):
        self.controls.append((name, ctype, widgets, attributes, node))

    def title(self, text):
        self.add("Label", "Label", [label(8, 4, 264, 26, text, face="bold")])

    def group(self, x, y, w, h, caption):
        """A frame around controls that belong together, its caption at the top."""
        self.add("Label", "Label", [frame(x, y, w, h), label(x, y + 2, w, 18, caption, scale=0.8)])

    def card(self, x, y, w, h, title, lines=(), accent=False):
        """A framed card: a title and text lines below it."""
        white = "#FFFFFFFF" if accent else None
        widgets = [frame(x, y, w, h, ACCENT_FILL if accent else "#14231F20",
                         "#00000000" if accent else CARD_BORDER, 0 if accent else 1)]
        widgets.append(label(x + 10, y + 4, w - 20, 28, title, face="bold", align="left", color=white,
                             autosize=True))
        for i, text in enumerate(lines):
            widgets.append(label(x + 10, y + 32 + i * 20, w - 20, 20, text, align="left", color=white,
                                 scale=0.8))
        self.add("Label", "Label", widgets)

    def fader(self, node, name, x, y, attributes, w=64, h=250, text="*LABEL*"):
        """A fader with its value field below and its name above, in a frame."""
        self.add(name, "Slider", [
            frame(x, y, w, h),
            ("slider", [("id", 1), ("link", 2)] + geometry(x + 12, y + 24, w - 24, h - 64, 1) +
             [("orient", "vertical"), ("knobcolor", "#FF1D98D5")]),
            ("textedit", [("id", 2), ("link", 1)] + geometry(x + 5, y + h - 36, w - 10, 30, 1)),
            ("label", [("id", 4)] + label(x, y + 2, w, 20, text, select=True)[1]),
        ], attributes, ref(node))

    def mute(self, node, x, y, w=64, h=52, text="Mute"):
        self.add("Mute", "Button", [
            frame(x, y, w, h),
            ("button", geometry(x + 8, y + 4, w - 16, h - 20, 1) + [
                ("onimage", "mute_on"), ("offimage", "mute_off"), ("imagesize", 0.8), ("hasBorder", 1),
                ("action", "alternating"), ("buttonType", "mute")]),
            label(x, y + h - 16, w, 14, text, scale=0.8),
        ], MUTE, ref(node))

    def link(self, text, path, x, y, w, h, image=""):
        keys = geometry(x, y, w, h, 1) + [
            ("text", text), ("path", path), ("image", ""),
            ("imagepath", "../images/%s.png" % image if image else ""),
            ("imagevalid", "Image" if image else "Text"), ("buttonmode", "Button"), ("hasBorder", 1),
            ("keepImageInBounds", 1)]
        self.add(text, "PanelLink", [("panellink", keys)])


def image(x, y, w, h, path):
    return ("image", geometry(x, y, w, h, 1) + [
        ("path", path), ("imagesize", "Fit"), ("backgroundFillMode", -1), ("imageOpacity", 1),
        ("maxCachedImageWidth", 1024)])


def db_range(index1, index2=0, struct=0, minimum=-60, maximum=12, step=0.5):
    return range_attributes(index1, index2, struct, minimum, maximum, step, "dB", "nn.n", "strV")


def meter_attributes():
    return range_attributes(struct=10, minimum=-60, maximum=0, step=0.5, units="dB", fmt="nn.n",
                            transform="strV")


def meter_keys(x, y, w, h, rate):
    return geometry(x, y, w, h, 1) + [
        ("text", "*LABEL*"), ("minimum", -60), ("maximum", 0), ("colorBreakValue1", -20),
        ("colorBreakValue2", -6), ("meterRate", rate), ("indexOffset", 0), ("unitsText", "dBFS")]


# -- the panels ----------------------------------------------------------------

def overview():
    p = Panel("Overview")
    p.card(8, 6, 264, 56, "Harbour Hall", ["Tap the screen or the seats in the picture"], accent=True)
    p.add("Image", "Image", [image(8, 68, 264, 150, "harbour_room.png")])
    # Two places of the picture lead on: the screen to its sound, the seats
    # to the room plan.
    for target, polygon in [("Status", "82,20 182,20 182,75 82,75 "), ("Rooms", "0,98 264,98 264,150 0,150 ")]:
        p.add("Region", "Region", [("region", geometry(8, 68, 264, 150, 2) + [
            ("fieldcolor", "#1A1D98D5"), ("bordercolor", "#801D98D5"), ("borderwidth", 1),
            ("polygon", polygon), ("path", target)])])
    p.add("Parameter Set List", "DropList", [
        frame(8, 224, 264, 58),
        label(8, 226, 264, 18, "Room preset", select=True),
        ("droplist", geometry(16, 246, 248, 32, 1) + [
            ("title", "Preset"), ("node", "PSetList"), ("hasBorder", 1), ("align", "Center")]),
    ], list_attributes(struct=4), PRESET_LIST_REF)
    p.add("Level", "LevelButton", [
        frame(8, 288, 176, 58),
        ("levelbutton", geometry(14, 290, 164, 54, 1) + [
            ("knobcolor", "#FF1D98D5"), ("text", "*LABEL*"), ("hasBorder", 0), ("isCircularEnabled", 0)]),
    ], db_range(1, step=1), ref("Programme"))
    p.mute("Programme", 192, 288, 80, 58, "Programme")
    p.link("Microphones", "Microphones", 8, 352, 84, 40)
    p.link("Music", "Music", 98, 352, 84, 40)
    p.link("Telephone", "Telephone", 188, 352, 84, 40, image="phone")
    return p


def rooms():
    p = Panel("Rooms")
    p.title("Room combining")
    # The hall's floor plan: Hall C narrows towards the foyer.
    plan = [("Hall A", 8, "0,0 88,0 88,150 0,150 "), ("Hall B", 96, "0,0 88,0 88,150 0,150 "),
            ("Hall C", 184, "0,0 88,0 88,110 58,150 0,150 ")]
    for name, x, polygon in plan:
        p.add("Room", "RoomSelector", [("roomselector", geometry(x, 36, 88, 150, 1) + [
            ("scale", 1), ("edit", "false"), ("fieldcolor", "#FFD3D3D3"), ("bordercolor", "#FF404040"),
            ("borderwidth", 3), ("polygon", polygon), ("path", "")])],
            list_attributes(struct=9, fmt="s", transform="passThrough"), room_ref(name))
    p.add("Active Combinations", "ActiveRoomCombo", [
        frame(8, 196, 264, 84),
        ("activeroomcombo", geometry(8, 196, 264, 84, 1) + [
            ("scale", 1), ("edit", "false"), ("autosize", "false"), ("borderwidth", 1), ("separator", "+"),
            ("sideMargins", 8)]),
    ], list_attributes(struct=9, fmt="s", transform="passThrough"), GROUP_REF)
    p.add("Label", "Label", [label(8, 288, 264, 20, "Combination to edit, then tap the rooms", scale=0.8)])
    p.add("Combination Selector", "ComboSelector", [
        frame(8, 310, 264, 56),
        ("comboselector", geometry(8, 310, 264, 56, 1) + [("edit", "false"), ("sideMargins", 8)]),
    ], list_attributes(struct=9, fmt="s", transform="passThrough"), GROUP_REF)
    p.link("\u2039 Overview", "Overview", 8, 372, 264, 26)
    return p


def microphones():
    p = Panel("Microphones")
    p.title("Microphones")
    for i, node in enumerate(["Lectern", "Handheld", "Panel Left", "Panel Right"]):
        x = 8 + i * 68
        p.fader(node, "Level", x, 34, db_range(1))
        p.mute(node, x, 292)
    p.link("Mic mixer and meters >", "Mixer", 8, 352, 264, 40)
    return p


def mixer():
    p = Panel("Mixer")
    p.title("Mic mixer and meters")
    p.group(8, 34, 264, 132, "Automatic mic mixer")
    for i in range(4):
        x, y = 16 + (i % 2) * 128, 58 + (i // 2) * 36
        p.add("Mic %d" % (i + 1), "Button", [("button", geometry(x, y, 120, 30, 1) + [
            ("ontext", "Mic %d" % (i + 1)), ("offtext", "Mic %d" % (i + 1)), ("hasBorder", 1),
            ("action", "alternating"), ("buttonType", "mute")])],
            list_attributes(index1=2, index2=i + 1, struct=2, values="F,O,T", transform="chrL"), ref("Mic Mixer"))
    p.add("Output Mute", "Button", [("button", geometry(16, 130, 248, 30, 1) + [
        ("ontext", "Mixer output muted"), ("offtext", "Mixer output on"), ("hasBorder", 1),
        ("action", "alternating"), ("buttonType", "mute")])],
        list_attributes(index1=1, values="F,O,T", transform="chrL"), ref("Mic Mixer"))
    for i, node in enumerate(["Lectern Mic", "Handheld Mic", "Panel Mic L", "Panel Mic R"]):
        x = 8 + i * 50
        p.add("Meter", "Meter", [frame(x, 174, 46, 218), ("meter", meter_keys(x + 4, 178, 38, 210, "4x/s"))],
              meter_attributes(), ref(node))
    p.group(208, 174, 64, 218, "Speakers")
    for i, node in enumerate(["Hall A", "Hall B", "Hall C", "Foyer"]):
        y = 196 + i * 48
        keys = meter_keys(216, y, 48, 44, "2x/s") + [("path", "../images/meterGrey.png"), ("imagesize", 0.7),
                                                     ("imageOpacity", 1)]
        p.add("Meter", "MeterImage", [("meterimage", keys)], meter_attributes(), ref(node))
    return p


def music():
    p = Panel("Music")
    p.title("Background music")
    p.add("Input Select", "DropList", [
        frame(8, 34, 264, 60),
        label(8, 36, 264, 18, "Source", select=True),
        ("droplist", geometry(16, 56, 248, 32, 1) + [
            ("title", "Source"), ("msg", "Lounge,Jazz,Radio,Laptop"), ("index", "1,2,3,4"), ("hasBorder", 1),
            ("align", "Center")]),
    ], list_attributes(index1=1), ref("Music Source"))
    p.fader("Music Level", "Level", 8, 102, db_range(1), h=250, text="Music")
    for i, band in enumerate(["LOW", "MID", "HIGH"]):
        p.fader("Room EQ", "Level %d" % (i + 1), 76 + i * 68, 102,
                db_range(i + 1, 1, 2, minimum=-15, maximum=15), text=band)
    p.link("\u2039 Overview", "Overview", 8, 358, 264, 34)
    return p


def status():
    p = Panel("Status")
    p.title("Room status and screen audio")
    p.group(8, 34, 264, 146, "Room status")
    for i, text in enumerate(["Occupied", "Recording", "Streaming", "Quiet"]):
        x = 16 + i * 64
        p.add("Channel %d" % (i + 1), "Button", [
            ("button", geometry(x + 10, 58, 40, 40, 1) + [
                ("onimage", "led_on"), ("offimage", "led_off"), ("imagesize", 0.9), ("hasBorder", 0),
                ("action", "alternating"), ("buttonType", "logicChannel"), ("channel", i + 1)]),
            label(x, 100, 60, 16, text, scale=0.8),
        ], list_attributes(index1=1, index2=i + 1, struct=2), ref("Room Status"))
    for i, (name, keyword, key, action) in enumerate([("Set All", "logicSet", "set_all", "SET"),
                                                       ("Reset All", "logicReset", "reset_all", "RESET")]):
        x = 16 + i * 128
        p.add(name, "Button", [
            ("button", geometry(x, 124, 120, 36, 1) + [
                ("ontext", name), ("offtext", name), ("onimage", key), ("offimage", key), ("imagesize", 0.8),
                ("hasBorder", 1), ("action", "sendOthenF"), ("buttonType", keyword), ("channel", 5 + i)]),
        ], list_attributes(index1=1, index2=5 + i, struct=2, actions=(action,)), ref("Room Status"))
    p.group(8, 188, 264, 84, "Sound of the screen")
    for i, text in enumerate(["Laptop", "Wireless", "Stream"]):
        p.add("Input Select", "TextLink", [("textlink", geometry(16 + i * 84, 216, 80, 40, 1) + [
            ("text", text), ("index", 0), ("paramidx", i + 1), ("buttonmode", "Button"), ("scale", 0.8)])],
            list_attributes(index1=1, values="1,2,3", fmt="s"), ref("Screen Source"))
    p.add("Label", "Label", [label(8, 282, 264, 20, "The lobby has a panel of its own:", scale=0.8)])
    p.link("Foyer >", "Foyer/Paging", 8, 306, 264, 40)
    return p


def telephone():
    p = Panel("Telephone")
    p.add("Dialer", "Dialer", [
        frame(8, 4, 264, 340, "#14231F20"),
        ("dialer", [("id", 1)] + geometry(8, 4, 264, 340, 1) + [
            ("scale", 1), ("title", "*LABEL*"), ("alwaysShowCallAndEnd", 0)]),
    ], range_attributes(index1=16, step=1, fmt="s", transform="text", call_type="PSTN"), ref("Telephone"))
    for i, (title, number) in enumerate([("Reception", "200"), ("Technician", "5550147")]):
        p.add(title, "Button", [("cmdbutton", [("id", 2), ("link", 32769)] + geometry(8 + i * 136, 352, 128, 40, 1) + [
            ("title", title), ("onimage", "phone"), ("imagesize", 0.6), ("hasBorder", 1), ("command", number)])],
            NO_ATTRIBUTES, ref("Telephone"))
    return p


def foyer():
    p = Panel("Paging")
    p.card(8, 6, 264, 58, "Foyer", ["Announcements and welcome music"], accent=True)
    p.add("Level", "LevelButton", [
        frame(8, 72, 264, 80),
        ("levelbutton", geometry(20, 78, 240, 68, 1) + [
            ("knobcolor", "#FF1D98D5"), ("text", "*LABEL*"), ("hasBorder", 0), ("isCircularEnabled", 0)]),
    ], db_range(1, step=1), ref("Foyer Paging"))
    p.mute("Foyer Paging", 8, 160, 264, 56, "Paging mute")
    p.card(8, 224, 264, 96, "Opening hours", ["Mon to Fri 07:00 to 22:00", "Sat and Sun 09:00 to 20:00"])
    p.link("\u2039 Harbour Hall", "Harbour Hall/Overview", 8, 352, 264, 40)
    return p


def scenes():
    return [("Harbour Hall", [overview(), rooms(), microphones(), mixer(), music(), status(), telephone()]),
            ("Foyer", [foyer()])]


# -- the control panel file ----------------------------------------------------

class Writer:
    """One element per line, indented by one tab per level."""

    def __init__(self):
        self.lines, self.depth = ['<?xml version="1.0" encoding="UTF-8"?>'], 0

    def open(self, tag, **attrs):
        text = "".join(" %s=%s" % (key, quoteattr(str(value))) for key, value in attrs.items())
        self.lines.append("\t" * self.depth + "<%s%s>" % (tag, text))
        self.depth += 1

    def close(self, tag):
        self.depth -= 1
        self.lines.append("\t" * self.depth + "</%s>" % tag)

    def leaf(self, tag, value):
        self.lines.append("\t" * self.depth + "<%s>%s</%s>" % (tag, escape(str(value)), tag))

    def section(self, tag, keys, **attrs):
        self.open(tag, **attrs)
        for key, value in keys:
            self.leaf(key, value)
        self.close(tag)

    def attributes(self, keys):
        self.section("Property", keys, name="attributes")

    def text(self):
        return "\n".join(self.lines) + "\n"


def panel_file(skin):
    w = Writer()
    w.open("KVD")
    w.open("Project")
    w.open("Property", name="attributes")
    w.section("Facility", [("name", "Harbour Hall")])
    w.section("BusinessManeger", [("name", "Maren Solberg"), ("email", "maren.solberg@harbourhall.example"),
                                  ("tel", "+47 55 30 12 00")])
    w.section("Engineer", [("name", "Jonas Lie"), ("email", "jonas@nordlyd.example"), ("tel", "+47 55 30 12 17")])
    w.section("Customer", [("name", "Harbour Hall AS"), ("address", "Bryggen 7, 5003 Bergen"),
                           ("email", "events@harbourhall.example"), ("tel", "+47 55 30 12 01")])
    w.section("Comments", [
        ("comment1", "Demonstration panel of Korvel Remote admin."),
        ("comment2", "Simulated devices: kvrsim --design tools/demo/Demo.kvp (./run.sh starts it)."),
        ("comment3", "Hall DSP on 127.0.0.1:%d, Conference Endpoint on 127.0.0.1:%d." % (DSP_PORT, ENDPOINT_PORT)),
        ("comment4", "The exit PIN of the phone app is %s." % EXIT_PIN), ("comment5", ""), ("comment6", "")])
    w.section("ExitCode", [("exitPIN", EXIT_PIN)])
    w.close("Property")
    w.close("Project")
    w.open("Version")
    w.attributes([("fileVersion", "3.0")])
    w.close("Version")
    w.open("Canvas")
    w.attributes([("device", ""), ("skin", skin), ("accent", "Blue"), ("size", 6), ("aspect", 1.77778),
                  ("topRow", "qrc:/qml/objects/QmlToolBarObject.qml"),
                  ("bottomRow", "qrc:/qml/objects/QmlStatusBarObject.qml"), ("orientation", 1),
                  ("text", "Harbour Hall"), ("horizcenter", 1), ("multiplyScaleFactor", 0)])
    w.close("Canvas")
    w.open("Scenes")
    control_id = 7000
    for scene_name, panels in scenes():
        w.open("Scene", name=scene_name)
        w.open("Panels")
        for panel in panels:
            w.open("Panel", name=panel.name, type=panel.kind)
            w.open("Controls")
            for name, ctype, widgets, attributes, node in panel.controls:
                control_id += 1
                w.open("Control", name=name, type=ctype)
                block, node_id, category, connection = node if node else ("", 0, "", "")
                for key, value in [("block", block), ("nodeID", node_id), ("nodeCategory", category),
                                   ("connection", connection), ("id", control_id)]:
                    w.leaf(key, value)
                w.open("Property", name="widget")
                for element, keys in widgets:
                    w.section(element, keys)
                w.close("Property")
                w.open("Property", name="attributes")
                w.section(*attributes)
                w.close("Property")
                w.close("Control")
            w.close("Controls")
            w.close("Panel")
        w.close("Panels")
        w.close("Scene")
    w.close("Scenes")
    w.open("Connections")
    for key, title, port in [(DSP, "ZMP-50", DSP_PORT), (ENDPOINT, "XT-10C", ENDPOINT_PORT)]:
        w.open("Connection", name=key)
        w.attributes([("title", title), ("ipaddress", "127.0.0.1"), ("ipport", "10050"), ("monitorport", "10051"),
                      ("serialport", port), ("platform", "ZMP")])
        w.close("Connection")
    w.close("Connections")
    w.close("KVD")
    return w.text()


def main():
    parser = argparse.ArgumentParser(description="Writes Demo.kvp and Demo.cpf.")
    parser.add_argument("--out", default=HERE, help="folder to write into (default: beside this script)")
    parser.add_argument("--skin", default="Light", choices=["Light", "Dark"], help="skin of the canvas")
    args = parser.parse_args()
    with open(os.path.join(args.out, "Demo.kvp"), "w", encoding="cp1252", newline="") as f:
        f.write(design())
    with open(os.path.join(args.out, "Demo.cpf"), "w", encoding="utf-8", newline="\n") as f:
        f.write(panel_file(args.skin))


if __name__ == "__main__":
    main()
