#!/usr/bin/env python3
"""Writes the built-in demonstration panel: a small venue design (Demo.kvp)
and its control panel (Demo.cpf) in this folder. Pack them, with the room
picture, into resources/data/Korvel/Demo.cpz with the archive tool:

    python3 tools/demo/make_demo.py
    build/tools/archive/kvrarchive pack resources/data/Korvel/Demo.cpz \
        tools/demo/Demo.cpf tools/demo/Demo.kvp tools/demo/harbour_room.png

The program never runs this script; the archive is committed.
"""
import os
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
CONNECTION = "Chassis|||1"

DESIGN_NODES = [
    # class, cardType, typeNumber, portIndex, title, label, nodeID, extra properties
    ("Devices.ZMP", "", "0", "0", "ZMP-11 (Main)", "Venue DSP", 1,
     [("deviceType", "ZMP-11"), ("isMainZMP", "True"), ("ipAddress", "127.0.0.1"),
      ("serialPortNumber", "10055")]),
    ("Input", "4ch Mic/Line Input", "2", "0", "Input 1", "Stage Mics", 101,
     [("inputLabel1", "Lectern"), ("inputLabel2", "Handheld"), ("inputLabel3", "Panel Left"),
      ("inputLabel4", "Panel Right")]),
    ("Output", "4ch Line Output II", "2", "0", "Output 1", "Room Speakers", 111, []),
    ("Gain", "", "0", "0", "Gain", "Main Level", 201, []),
    ("Gain", "", "0", "0", "Gain", "Background Music", 202, []),
    ("Selector", "", "2", "0", "Selector", "Music Source", 203, []),
    ("ToneEQ", "", "0", "0", "ToneEQ", "Room EQ", 204, []),
    ("Gain", "", "0", "0", "Gain", "Lobby Paging", 205, []),
]


def design():
    out = ['<?xml version="1.0" encoding="Windows-1252"?>', '<Project version="4.6">',
           '  <ProjectInfo>', '    <Facility>', '      <name>Harbour Room</name>', '    </Facility>',
           '  </ProjectInfo>', '  <Nodes>']
    for cls, card, typenum, port, title, label, node_id, extra in DESIGN_NODES:
        out.append('    <Node className="Halvern.Loom.Nodes.%s" cardType="%s" typeNumber="%s" portIndex="%s">'
                   % (cls, card, typenum, port))
        props = [("title", title), ("label", label), ("nodeID", str(node_id))] + extra
        for name, value in props:
            out.append('      <Property name="%s" value="%s" />' % (name, escape(value)))
        out.append('    </Node>')
    out += ['  </Nodes>', '  <Groups />', '  <RCGroups />', '  <ParameterSets />',
            '  <ParameterSetLists />', '  <Assignment />', '</Project>', '']
    return "\r\n".join(out)


class Panel:
    """Collects the controls of one panel in control-area units (280 x 400)."""

    def __init__(self, name, kind="complete"):
        self.name, self.kind, self.controls = name, kind, []
        self.next_id = 0

    def control(self, name, ctype, widgets, node=None):
        self.controls.append((name, ctype, widgets, node))

    def card(self, x, y, w, h, title, lines=(), node=None, accent=False, name=None):
        """A framed card: a title label and text lines below it."""
        fill = "#FF1D98D5" if accent else "#14231F20"
        widgets = [("frame", [("x", x), ("y", y), ("width", w), ("height", h), ("z", 0),
                              ("shape", "box"), ("shadow", "plain"), ("fieldcolor", fill),
                              ("bordercolor", "#00000000" if accent else "#FFA8AAAD"),
                              ("borderwidth", 1), ("hasBorder", 0 if accent else 1)])]
        widgets.append(label(x + 10, y + 6, w - 20, 30, title, face="bold",
                             color="#FFFFFFFF" if accent else None, autosize=True))
        for i, text in enumerate(lines):
            widgets.append(label(x + 10, y + 36 + i * 24, w - 20, 24, text,
                                 color="#FFFFFFFF" if accent else None, scale=0.8))
        self.control(name or title.replace("*", "").strip() or "Card", "Label", widgets, node)


def label(x, y, w, h, text, face="", align="left", color=None, scale=1, autosize=False):
    keys = [("x", x), ("y", y), ("width", w), ("height", h), ("z", 2), ("text", text),
            ("align", align), ("face", face)]
    if color:
        keys.append(("color", color))
    keys += [("rotation", 0), ("scale", scale), ("edit", "false"), ("select", "false"),
             ("autosize", "true" if autosize else "false")]
    return ("label", keys)


def image(x, y, w, h, path):
    return ("image", [("x", x), ("y", y), ("width", w), ("height", h), ("z", 1), ("path", path),
                      ("imagesize", "Fit"), ("backgroundFillMode", -1), ("imageOpacity", 1),
                      ("maxCachedImageWidth", 1024)])


BLOCKS = {label_: node_id for _, _, _, _, _, label_, node_id, _ in DESIGN_NODES}


def node_ref(block_label, category="Blocks"):
    return (block_label, BLOCKS[block_label], category)


def scenes():
    overview = Panel("Overview")
    overview.card(8, 8, 264, 84, "Harbour Room", ["Conference and events, 120 seats"], accent=True,
                  name="Room Title")
    overview.control("Room Picture", "Image", [image(8, 100, 264, 150, "harbour_room.png")])
    overview.card(8, 258, 128, 66, "*LABEL*", ["Programme level"], node=node_ref("Main Level"),
                  name="Main Level")
    overview.card(144, 258, 128, 66, "*LABEL*", ["Music bed"], node=node_ref("Background Music"),
                  name="Background Music")
    overview.card(8, 332, 264, 60, "Go online", ["Tools > Go Online connects to the DSP"],
                  name="Online Hint")

    mics = Panel("Microphones")
    mics.card(8, 8, 264, 60, "*LABEL*", ["Input card in slot 1"], node=node_ref("Stage Mics", "Input"),
              accent=True, name="Stage Mics")
    for i, who in enumerate(["Lectern", "Handheld", "Panel Left", "Panel Right"]):
        mics.card(8 + (i % 2) * 136, 76 + (i // 2) * 104, 128, 96, "Mic %d" % (i + 1),
                  [who, "Phantom on"], name="Mic %d" % (i + 1))
    mics.card(8, 292, 264, 100, "*LABEL*", ["Four line outputs", "Ceiling and front fills"],
              node=node_ref("Room Speakers", "Output"), name="Room Speakers")

    music = Panel("Music")
    music.card(8, 8, 264, 92, "*LABEL*", ["Sources: Lounge, Jazz, Radio"], node=node_ref("Music Source"),
               name="Music Source")
    music.card(8, 108, 264, 92, "*LABEL*", ["Bed level under speech"], node=node_ref("Background Music"),
               name="Background Music")
    music.card(8, 208, 264, 92, "*LABEL*", ["Low, mid and high bands"], node=node_ref("Room EQ"),
               name="Room EQ")

    lobby = Panel("Lobby")
    lobby.card(8, 8, 264, 84, "Lobby", ["Paging and welcome music"], accent=True, name="Lobby Title")
    lobby.card(8, 100, 264, 92, "*LABEL*", ["Announcements to the foyer"], node=node_ref("Lobby Paging"),
               name="Lobby Paging")
    lobby.card(8, 200, 264, 116, "Opening hours", ["Mon to Fri 07:00 to 22:00", "Sat and Sun 09:00 to 20:00"],
               name="Opening Hours")

    help_panel = Panel("Help", "custom")
    help_panel.card(8, 8, 264, 384, "Using this panel",
                    ["Arrows below: previous and next page", "Menu at the top right: setup",
                     "Lamp: red offline, green online", "File > Open: your own panels",
                     "Tools > Send: copy to a phone"], name="Help Text")
    return [("Main Room", [overview, mics, music]), ("Lobby", [lobby, help_panel])]


def panel_file():
    out = []
    ind = [0]

    def line(text):
        out.append("\t" * ind[0] + text)

    def open_(tag, attrs=""):
        line("<%s%s>" % (tag, attrs))
        ind[0] += 1

    def close(tag):
        ind[0] -= 1
        line("</%s>" % tag)

    def leaf(tag, value):
        line("<%s>%s</%s>" % (tag, escape(str(value)), tag))

    out.append('<?xml version="1.0" encoding="UTF-8"?>')
    open_("KVD")
    open_("Project")
    open_("Property", ' name="attributes"')
    open_("Facility"); leaf("name", "Harbour Room"); close("Facility")
    open_("BusinessManeger"); leaf("name", "Maren Solberg"); leaf("email", "maren.solberg@harbour.example"); leaf("tel", "+47 55 30 12 00"); close("BusinessManeger")
    open_("Engineer"); leaf("name", "Jonas Lie"); leaf("email", "jonas@nordlyd.example"); leaf("tel", "+47 55 30 12 17"); close("Engineer")
    open_("Customer"); leaf("name", "Harbour Room AS"); leaf("address", "Bryggen 7, 5003 Bergen"); leaf("email", "events@harbour.example"); leaf("tel", "+47 55 30 12 01"); close("Customer")
    open_("Comments")
    leaf("comment1", "Demonstration panel of Korvel Remote admin.")
    leaf("comment2", "Run the device simulator to try it online: kvrsim --design Demo.kvp")
    for n in range(3, 7):
        leaf("comment%d" % n, "")
    close("Comments")
    close("Property")
    close("Project")
    open_("Version"); open_("Property", ' name="attributes"'); leaf("fileVersion", "3.0"); close("Property"); close("Version")
    open_("Canvas"); open_("Property", ' name="attributes"')
    for key, value in [("device", ""), ("skin", "Light"), ("accent", "Blue"), ("size", 6), ("aspect", 1.77778),
                       ("topRow", "qrc:/qml/objects/QmlToolBarObject.qml"),
                       ("bottomRow", "qrc:/qml/objects/QmlStatusBarObject.qml"), ("orientation", 1),
                       ("text", "Harbour Room"), ("horizcenter", 1), ("multiplyScaleFactor", 0)]:
        leaf(key, value)
    close("Property"); close("Canvas")
    open_("Scenes")
    control_id = 5000
    for scene_name, panels in scenes():
        open_("Scene", ' name="%s"' % escape(scene_name))
        open_("Panels")
        for panel in panels:
            open_("Panel", ' name="%s" type="%s"' % (escape(panel.name), panel.kind))
            open_("Controls")
            for name, ctype, widgets, node in panel.controls:
                control_id += 1
                open_("Control", ' name="%s" type="%s"' % (escape(name), ctype))
                block, node_id, category = node if node else ("", 0, "")
                leaf("block", block); leaf("nodeID", node_id); leaf("nodeCategory", category)
                leaf("connection", CONNECTION if node else ""); leaf("id", control_id)
                open_("Property", ' name="widget"')
                for element, keys in widgets:
                    open_(element)
                    for key, value in keys:
                        leaf(key, value)
                    close(element)
                close("Property")
                open_("Property", ' name="attributes"'); open_("range")
                leaf("enableEdit", 1); leaf("minimum", 0); leaf("minLimit", -40); leaf("maximum", 0)
                leaf("maxLimit", 0); leaf("step", 0); leaf("units", ""); leaf("format", ""); leaf("transform", "")
                leaf("cardPin", -1)
                close("range"); close("Property")
                close("Control")
            close("Controls")
            close("Panel")
        close("Panels")
        close("Scene")
    close("Scenes")
    open_("Connections")
    open_("Connection", ' name="%s"' % CONNECTION)
    open_("Property", ' name="attributes"')
    for key, value in [("title", "ZMP-11 (Main)"), ("ipaddress", "127.0.0.1"), ("ipport", "10050"),
                       ("monitorport", "10051"), ("serialport", "10055"), ("platform", "ZMP")]:
        leaf(key, value)
    close("Property"); close("Connection"); close("Connections")
    close("KVD")
    return "\n".join(out) + "\n"


def main():
    with open(os.path.join(HERE, "Demo.kvp"), "w", encoding="cp1252", newline="") as f:
        f.write(design())
    with open(os.path.join(HERE, "Demo.cpf"), "w", encoding="utf-8", newline="\n") as f:
        f.write(panel_file())


if __name__ == "__main__":
    main()
