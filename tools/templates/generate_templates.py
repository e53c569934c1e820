#!/usr/bin/env python3
"""Writes the built-in control templates and module tables under resources/data/.

Every template is described once in the tables at the end of this file: which
parameters an object offers, what kind of control each becomes and how the
device addresses it. The writer turns each description into the XML that the
design tool produces (Windows-1252, CRLF line ends, blanks inside display texts
written as the "&sp;" token) and, for objects with faders, also writes the
second form whose name has a "1" before ".xml", in which every fader is a pair
of level buttons.

    python3 tools/templates/generate_templates.py            # rewrite the files
    python3 tools/templates/generate_templates.py --check    # exit 1 if any differs

Only the standard library is used. The output is committed, so building the
program never runs this script; run it after changing a table and commit both.
"""

import argparse
import os
import sys

CRLF = "\r\n"
ENCODING = "cp1252"
ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DATA = os.path.join(ROOT, "resources", "data")

RANGE_KEYS = ("index1", "index2", "struct", "minLimit", "maxLimit", "minimum", "maximum", "step",
              "units", "format", "transform", "channelLabel", "cardPin", "callType")
LIST_KEYS = ("index1", "index2", "struct", "set", "step", "format", "transform", "action",
             "channelLabel", "doNotPoll")

# Command families of the device protocol.
ST_BLOCK = 0       # SA "block">i1=V
ST_INDEXED = 2     # SA "block">i1>i2=V
ST_SCENE = 4       # SS n (recall a parameter set)
ST_GROUP_LEVEL = 5  # SG n,V
ST_GROUP_MUTE = 6  # SN n,V
ST_CHANNEL = 7     # SA"channel label">i2=V
ST_ROOMS = 9       # raw commands of the room-combine nodes
ST_LEVELS = 10     # GL slot (level report)

MUTE_SET = "F,O,T"  # off, on, toggle

FIELD = "#00000000"
BORDER = "#FF7F7F7F"
METER_FIELD = "#FF1E1E1E"
DIALER_FIELD = "#FF262626"
ROOM_FIELD = "#4087CEEB"


def num(value):
    """Shortest decimal text of a number, as the design tool writes it."""
    if isinstance(value, str):
        return value
    if float(value).is_integer():
        return str(int(value))
    return ("%.6f" % value).rstrip("0")


class Param:
    """One template parameter and the control it becomes."""

    def __init__(self, name, kind, caption=None, **opts):
        self.name = name
        self.kind = kind
        self.caption = name if caption is None else caption
        self.opts = opts


# ---------------------------------------------------------------------------
# Parameter builders

def level(name, addr, lo=-60, hi=12, step=0.5, units="dB", fmt="nn.n", caption=None, **extra):
    return Param(name, "level", caption, addr=addr, lo=lo, hi=hi, step=step, units=units, fmt=fmt,
                 extra=extra)


def switch(name, addr, look="mute", caption=None, ontext=None, offtext=None, action="alternating",
           button_type="mute", channel=None, query=None, list_action=None, transform="chrL", **extra):
    return Param(name, "switch", caption, addr=addr, look=look, ontext=ontext, offtext=offtext,
                 action=action, button_type=button_type, channel=channel, query=query,
                 list_action=list_action, transform=transform, extra=extra)


def mute(name, addr, caption=None, **extra):
    return switch(name, addr, caption=caption, **extra)


def choice(name, addr, msg=None, node=None, group=None, transform="bin8", caption=None, title=None):
    return Param(name, "choice", caption, addr=addr, msg=msg, node=node, group=group,
                 transform=transform, title=title)


def meter(name, addr, text="*LABEL*", lo=-60, hi=0, breaks=(-20, -6), units_text="dBFS"):
    return Param(name, "meter", None, addr=addr, text=text, lo=lo, hi=hi, breaks=breaks,
                 units_text=units_text)


def lamp(name, addr, text="*LABEL*", lo=-60, hi=0, breaks=(-40, -6)):
    return Param(name, "lamp", None, addr=addr, text=text, lo=lo, hi=hi, breaks=breaks)


def dialer(name, addr, call_type):
    return Param(name, "dialer", None, addr=addr, call_type=call_type)


def recall(name):
    return Param(name, "recall", None)


def room_widget(name, kind):
    return Param(name, kind, None)


def addr(struct, index1=None, index2=None):
    return (struct, index1, index2)


# ---------------------------------------------------------------------------
# Control rendering: widgets as (element, [(key, value), ...]) and one
# attribute element. Geometry is for a phone-sized canvas of about 294 x 522.

def frame(width, height, field=FIELD, border=BORDER, has_border=1):
    return ("frame", [("id", 3), ("x", 0), ("y", 0), ("width", width), ("height", height),
                      ("shape", "box"), ("shadow", "plain"), ("fieldcolor", field),
                      ("bordercolor", border), ("hasBorder", has_border)])


def caption_label(text, heightfract, align="center"):
    return ("label", [("id", 4), ("z", 1), ("xfract", 0), ("yfract", 0), ("widthfract", 1),
                      ("heightfract", heightfract), ("scale", 1.0), ("text", text),
                      ("align", align), ("autosize", "false"), ("select", "true"),
                      ("edit", "false")])


def addressing(a):
    struct, index1, index2 = a
    return {"index1": index1, "index2": index2, "struct": struct}


def range_attrs(p, lo, hi, step, units, fmt, transform, extra=None):
    values = addressing(p.opts["addr"])
    values.update({"minLimit": lo, "maxLimit": hi, "minimum": lo, "maximum": hi, "step": step,
                   "units": units, "format": fmt, "transform": transform})
    values.update(extra or {})
    return ("range", [(k, values[k]) for k in RANGE_KEYS if values.get(k) is not None])


def list_attrs(p, values):
    merged = addressing(p.opts["addr"]) if "addr" in p.opts else {}
    merged.update(values)
    return ("list", [(k, merged[k]) for k in LIST_KEYS if merged.get(k) is not None])


def render_level(p, buttons):
    o = p.opts
    # Group levels travel as half-dB codes, every other level as plain decimal.
    transform = "grpV" if o["addr"][0] == ST_GROUP_LEVEL else "strV"
    attrs = range_attrs(p, o["lo"], o["hi"], o["step"], o["units"], o["fmt"], transform, o["extra"])
    if buttons:
        widgets = [frame(120, 96),
                   ("levelbutton", [("x", 4), ("y", 22), ("z", 1), ("width", 112), ("height", 70),
                                    ("text", "*TITLE*")]),
                   caption_label(p.caption, 0.2)]
        return "LevelButton", widgets, attrs
    widgets = [frame(64, 250),
               ("slider", [("id", 1), ("xfract", 0.2), ("yfract", 0.1), ("widthfract", 0.6),
                           ("heightfract", 0.74), ("link", 2)]),
               ("textedit", [("id", 2), ("xfract", 0.08), ("yfract", 0.86), ("widthfract", 0.84),
                             ("heightfract", 0.1), ("link", 1)]),
               caption_label(p.caption, 0.09)]
    return "Slider", widgets, attrs


LOOKS = {
    "mute": [("onimage", "mute_on"), ("offimage", "mute_off"), ("imagesize", 0.8)],
    "led": [("onimage", "led_on"), ("offimage", "led_off"), ("imagesize", 0.6)],
    "greenled": [("onimage", "led_on"), ("offimage", "green_led_off"), ("imagesize", 0.6)],
    "setall": [("onimage", "set_all"), ("offimage", "set_all"), ("imagesize", 0.8)],
    "resetall": [("onimage", "reset_all"), ("offimage", "reset_all"), ("imagesize", 0.8)],
    "text": [],
}


def render_switch(p):
    o = p.opts
    keys = [("x", 4), ("y", 18), ("width", 56), ("height", 42)]
    if o["ontext"] is not None:
        keys += [("ontext", o["ontext"]), ("offtext", o["offtext"])]
    keys += LOOKS[o["look"]]
    keys += [("action", o["action"]), ("buttonType", o["button_type"])]
    if o["channel"] is not None:
        keys.append(("channel", o["channel"]))
    keys.append(("hasBorder", 1))
    if o["query"] is not None:
        keys.append(("index1ForQuery", o["query"]))
    widgets = [frame(64, 64), ("button", keys), caption_label(p.caption, 0.25)]
    values = {"set": MUTE_SET if o["transform"] == "chrL" else None, "format": "nn",
              "transform": o["transform"], "action": o["list_action"]}
    values.update(o["extra"])
    return "Button", widgets, list_attrs(p, values)


def render_choice(p):
    o = p.opts
    keys = [("x", 4), ("y", 22), ("z", 1), ("width", 142), ("height", 38),
            ("title", o["title"] or p.caption)]
    for key in ("msg", "node", "group"):
        if o[key] is not None:
            keys.append((key, o[key]))
    widgets = [frame(150, 64), ("droplist", keys), caption_label(p.caption, 0.3)]
    return "DropList", widgets, list_attrs(p, {"format": "nn", "transform": o["transform"]})


def render_meter(p):
    o = p.opts
    widgets = [frame(40, 250, field=METER_FIELD, has_border=0),
               ("meter", [("x", 4), ("y", 20), ("z", 1), ("height", 226), ("minimum", o["lo"]),
                          ("maximum", o["hi"]), ("colorBreakValue1", o["breaks"][0]),
                          ("colorBreakValue2", o["breaks"][1]), ("indexOffset", 0),
                          ("text", o["text"]), ("unitsText", o["units_text"])])]
    return "Meter", widgets, range_attrs(p, o["lo"], o["hi"], 0.5, "dB", "nn.n", "strV",
                                         {"cardPin": -1})


def render_lamp(p):
    o = p.opts
    widgets = [frame(48, 48, field=METER_FIELD, has_border=0),
               ("meterimage", [("x", 8), ("y", 8), ("width", 32), ("height", 32),
                               ("minimum", o["lo"]), ("maximum", o["hi"]),
                               ("colorBreakValue1", o["breaks"][0]),
                               ("colorBreakValue2", o["breaks"][1]), ("indexOffset", 0),
                               ("text", o["text"])])]
    return "MeterImage", widgets, range_attrs(p, o["lo"], o["hi"], 0.5, "dB", "nn.n", "strV",
                                              {"cardPin": -1})


def render_dialer(p):
    whole = [("xfract", 0), ("yfract", 0), ("widthfract", 1), ("heightfract", 1),
             ("width", 260), ("height", 420), ("scale", 1.0)]
    widgets = [frame(260, 420, field=DIALER_FIELD),
               ("dialer", whole + [("title", "*LABEL*")]),
               ("bounds", whole)]
    attrs = range_attrs(p, 0, 0, 1, "0", "s", "text", {"callType": p.opts["call_type"]})
    return "Dialer", widgets, attrs


def render_recall(p):
    widgets = [frame(120, 44),
               ("textlink", [("index", 0), ("scale", 1.0), ("text", "?")])]
    return "TextLink", widgets, list_attrs(p, {"index1": 0, "struct": ST_SCENE, "format": "nn",
                                               "transform": "bin8"})


def render_room(p):
    passthrough = {"struct": ST_ROOMS, "format": "s", "transform": "passThrough"}
    if p.kind == "combo":
        widgets = [frame(280, 60),
                   ("comboselector", [("x", 0), ("y", 0), ("width", 280), ("height", 60),
                                      ("edit", "false"), ("sideMargins", 8)])]
        return "ComboSelector", widgets, list_attrs(p, passthrough)
    if p.kind == "active":
        widgets = [frame(280, 40),
                   ("activeroomcombo", [("x", 0), ("y", 0), ("width", 280), ("height", 40),
                                        ("scale", 1.0), ("edit", "false"), ("autosize", "false"),
                                        ("borderwidth", 1), ("separator", "+"),
                                        ("sideMargins", 8)])]
        return "ActiveRoomCombo", widgets, list_attrs(p, passthrough)
    if p.kind == "room":
        widgets = [("bounds", [("xfract", 0), ("yfract", 0), ("widthfract", 1),
                               ("heightfract", 1), ("width", 120), ("height", 90),
                               ("scale", 1.0)]),
                   ("roomselector", [("x", 0), ("y", 0), ("width", 120), ("height", 90),
                                     ("scale", 1.0), ("edit", "false"),
                                     ("polygon", "0,0 120,0 120,90 0,90 ")])]
        return "RoomSelector", widgets, list_attrs(p, passthrough)
    # A plain name plate: nothing to ask the device.
    widgets = [frame(140, 30, field=ROOM_FIELD, has_border=0),
               ("label", [("id", 4), ("x", 0), ("y", 0), ("z", 1), ("width", 140), ("height", 30),
                          ("scale", 1.0), ("text", "*LABEL*"), ("align", "center"),
                          ("autosize", "true"), ("select", "false"), ("edit", "false")])]
    return "Label", widgets, list_attrs(p, {"format": "s", "doNotPoll": 1})


def render(p, buttons):
    """Answers (parameter type, control type, widgets, attributes)."""
    if p.kind == "level":
        ctype, widgets, attrs = render_level(p, buttons)
    elif p.kind == "switch":
        ctype, widgets, attrs = render_switch(p)
    elif p.kind == "choice":
        ctype, widgets, attrs = render_choice(p)
    elif p.kind == "meter":
        ctype, widgets, attrs = render_meter(p)
    elif p.kind == "lamp":
        ctype, widgets, attrs = render_lamp(p)
    elif p.kind == "dialer":
        ctype, widgets, attrs = render_dialer(p)
    elif p.kind == "recall":
        # A set is recalled by tapping its name; the tree lists it as a button.
        return "Button", "TextLink", *render_recall(p)[1:]
    else:
        ctype, widgets, attrs = render_room(p)
    return ctype, ctype, widgets, attrs


# ---------------------------------------------------------------------------
# XML writing

def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def escape_attribute(text):
    return escape(text).replace('"', "&quot;")


# Keys whose values are texts shown to the user; the design tool writes their
# blanks as the "&sp;" token so that they survive white-space simplification.
DISPLAY_KEYS = {"text", "title", "ontext", "offtext"}


def leaf_text(key, value):
    text = escape(num(value))
    if key in DISPLAY_KEYS:
        text = text.replace(" ", "&sp;")
    return text


def template_xml(params, buttons):
    lines = ['<?xml version="1.0" encoding="Windows-1252"?>', "<KVD>", "\t<Parameters>"]
    rendered = [(p, render(p, buttons)) for p in params]
    for p, (ptype, _, _, _) in rendered:
        lines += ["\t\t<parameter>",
                  "\t\t\t<text>%s</text>" % escape(p.name),
                  "\t\t\t<type>%s</type>" % ptype,
                  "\t\t</parameter>"]
    lines += ["\t</Parameters>", "\t<Controls>"]
    for p, (_, ctype, widgets, (attr_element, attr_keys)) in rendered:
        lines.append('\t\t<Control name="%s" type="%s">' % (escape_attribute(p.name), ctype))
        lines.append('\t\t\t<Property name="widget">')
        for element, keys in widgets:
            lines.append("\t\t\t\t<%s>" % element)
            for key, value in keys:
                lines.append("\t\t\t\t\t<%s>%s</%s>" % (key, leaf_text(key, value), key))
            lines.append("\t\t\t\t</%s>" % element)
        lines.append("\t\t\t</Property>")
        lines.append('\t\t\t<Property name="attributes">')
        lines.append("\t\t\t\t<%s>" % attr_element)
        for key, value in attr_keys:
            lines.append("\t\t\t\t\t<%s>%s</%s>" % (key, leaf_text(key, value), key))
        lines.append("\t\t\t\t</%s>" % attr_element)
        lines.append("\t\t\t</Property>")
        lines.append("\t\t</Control>")
    lines += ["\t</Controls>", "</KVD>"]
    return (CRLF.join(lines) + CRLF).encode(ENCODING)


# ---------------------------------------------------------------------------
# The templates

def gain():
    return [level("Level", addr(ST_BLOCK, 1), caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            polarity(addr(ST_BLOCK, 3))]


def polarity(a):
    return switch("Polarity", a, look="text", ontext="\u00d8 180\u00b0", offtext="\u00d8 0\u00b0")


SELECTOR_INPUTS = (2, 4, 6, 8, 12, 16, 32)  # by type number 0..6


def selector(inputs):
    msg = ",".join("Input %d" % i for i in range(1, inputs + 1))
    return [choice("Input Select", addr(ST_BLOCK, 1), msg=msg, title="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2))]


def tone_eq():
    params = []
    for band, name in ((1, "LOW"), (2, "MID"), (3, "HIGH")):
        params.append(level("Level %d" % band, addr(ST_INDEXED, band, 1), lo=-15, hi=15,
                            caption=name))
        params.append(switch("Bypass %d" % band, addr(ST_INDEXED, band, 2), look="text",
                             caption=name, ontext="Bypass", offtext="Active"))
    return params


AMM_CHANNELS = 16


def amm():
    # The first parameter is the mixer's own; the rest are the microphone
    # switches, which the tree trims to the block's channel count. A lit
    # microphone button means the channel is on.
    params = [mute("Output Mute", addr(ST_BLOCK, 1))]
    for ch in range(1, AMM_CHANNELS + 1):
        params.append(switch("Mic %d" % ch, addr(ST_INDEXED, 2, ch), look="text",
                             caption="Mic %d" % ch, ontext="Mic %d" % ch, offtext="Mic %d" % ch))
    return params


TELECON_INPUTS = 8


def conference_room_router():
    params = [level("Master Volume", addr(ST_BLOCK, 1)),
              mute("Master Mute", addr(ST_BLOCK, 2)),
              level("Program Level", addr(ST_BLOCK, 3)),
              mute("Program Mute", addr(ST_BLOCK, 4)),
              level("Non-Mic Mix Level", addr(ST_BLOCK, 5)),
              level("Mic Mix Level", addr(ST_BLOCK, 6)),
              level("Background Music Level", addr(ST_BLOCK, 7)),
              choice("Background Music Source", addr(ST_BLOCK, 8), msg="BGM 1,BGM 2,BGM 3,BGM 4"),
              level("Pre-AEC Mic Level", addr(ST_BLOCK, 9)),
              mute("Pre-AEC Mic Mute", addr(ST_BLOCK, 10))]
    # One level and one mute per far end, last, so that the tree can drop the
    # pairs of the inputs a room does not use. The captions name the phone so
    # that the panel shows the phone's own label.
    for n in range(1, TELECON_INPUTS + 1):
        params.append(level("Far End %d Level" % n, addr(ST_INDEXED, 20, n),
                            caption="Phone%d Level" % n))
        params.append(mute("Far End %d Mute" % n, addr(ST_INDEXED, 21, n),
                           caption="Phone%d Mute" % n))
    return params


BGM_SOURCES = "BGM 1,BGM 2,BGM 3,BGM 4"


def general_purpose_room_combiner():
    return [level("Output Level", addr(ST_BLOCK, 1)),
            mute("Output Mute", addr(ST_BLOCK, 2)),
            level("Input Level", addr(ST_BLOCK, 3)),
            mute("Input Mute", addr(ST_BLOCK, 4)),
            level("Background Music Level", addr(ST_BLOCK, 5), lo=0, hi=100, step=1, units="pct",
                  fmt="nn"),
            choice("Background Music Source", addr(ST_BLOCK, 6), msg=BGM_SOURCES),
            level("Low", addr(ST_INDEXED, 7, 1), lo=-15, hi=15),
            level("Mid", addr(ST_INDEXED, 7, 2), lo=-15, hi=15),
            level("High", addr(ST_INDEXED, 7, 3), lo=-15, hi=15)]


def standard_room_combiner():
    return [level("Input Level", addr(ST_BLOCK, 1)),
            mute("Input Mute", addr(ST_BLOCK, 2)),
            level("Background Music Level", addr(ST_BLOCK, 3)),
            choice("Background Music Source", addr(ST_BLOCK, 4), msg=BGM_SOURCES),
            level("Output Level", addr(ST_BLOCK, 5)),
            mute("Output Mute", addr(ST_BLOCK, 6))]


LOGIC_CHANNELS = 8


def logic():
    # Toggle flip-flops: a press pulses the channel's trigger (index 1), the
    # lamp follows the flip-flop's output (index 2).
    params = [switch("Channel %d" % ch, addr(ST_INDEXED, 1, ch), look="led",
                     action="sendOthenF", button_type="logicChannel", channel=ch, query=2,
                     transform="bin8") for ch in range(1, LOGIC_CHANNELS + 1)]
    params.append(switch("Set All", addr(ST_INDEXED, 1, LOGIC_CHANNELS + 1), look="setall",
                         action="sendOthenF", button_type="logicSet", channel=LOGIC_CHANNELS + 1,
                         list_action="SET", transform="bin8"))
    params.append(switch("Reset All", addr(ST_INDEXED, 1, LOGIC_CHANNELS + 2), look="resetall",
                         action="sendOthenF", button_type="logicReset",
                         channel=LOGIC_CHANNELS + 2, list_action="RESET", transform="bin8"))
    return params


def logic_inputs(count=8):
    # Lamps that show the state of the logic inputs; pressing them does nothing.
    return [switch("Input %d" % ch, addr(ST_INDEXED, 1, ch), look="led", action="none",
                   button_type="logicChannel", channel=ch, transform="bin8")
            for ch in range(1, count + 1)]


def logic_outputs(count=8):
    return [switch("Output %d" % ch, addr(ST_INDEXED, 1, ch), look="led",
                   button_type="logicChannel", channel=ch, transform="bin8")
            for ch in range(1, count + 1)]


def virtual_gpi(count=16):
    # Momentary contacts: closed while pressed.
    return [switch("Control %d" % ch, addr(ST_INDEXED, 1, ch), look="text", action="sequence",
                   button_type="virtualGPI", ontext="GPI %d" % ch, offtext="GPI %d" % ch,
                   transform="bin8") for ch in range(1, count + 1)]


def virtual_gpo(count=16):
    return [switch("Action %d" % ch, addr(ST_INDEXED, 1, ch), look="greenled", action="none",
                   button_type="virtualGPO", transform="bin8") for ch in range(1, count + 1)]


def analog_input():
    return [level("Gain", addr(ST_BLOCK, 1), lo=0, hi=66, step=3, fmt="nn", caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            switch("Phantom Power", addr(ST_BLOCK, 3), look="text", caption="Phantom",
                   ontext="+48V", offtext="+48V"),
            polarity(addr(ST_BLOCK, 4)),
            meter("Meter", addr(ST_LEVELS), lo=-40, hi=24, breaks=(0, 18), units_text="dBu")]


def analog_output():
    return [level("Level", addr(ST_BLOCK, 1), caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            polarity(addr(ST_BLOCK, 3)),
            meter("Meter", addr(ST_LEVELS), lo=-40, hi=24, breaks=(0, 18), units_text="dBu")]


def digital_io():
    return [level("Level", addr(ST_BLOCK, 1), caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            lamp("Signal", addr(ST_LEVELS))]


def pstn_in():
    return [level("Receive Level", addr(ST_BLOCK, 1), lo=-30, hi=12),
            mute("Receive Mute", addr(ST_BLOCK, 2)),
            switch("Auto Answer", addr(ST_BLOCK, 3), look="text", ontext="Auto Answer",
                   offtext="Auto Answer"),
            meter("Meter", addr(ST_LEVELS)),
            dialer("Dialer", addr(ST_BLOCK, 16), "PSTN")]


def voip_in():
    return [level("Receive Level", addr(ST_BLOCK, 1), lo=-30, hi=12),
            mute("Receive Mute", addr(ST_BLOCK, 2)),
            switch("Auto Answer", addr(ST_BLOCK, 3), look="text", ontext="Auto Answer",
                   offtext="Auto Answer"),
            switch("Do Not Disturb", addr(ST_BLOCK, 4), look="text", caption="DND",
                   ontext="DND", offtext="DND"),
            meter("Meter", addr(ST_LEVELS)),
            dialer("Dialer", addr(ST_BLOCK, 16), "VoIP")]


def telephony_out():
    return [level("Transmit Level", addr(ST_BLOCK, 1), lo=-30, hi=12),
            mute("Transmit Mute", addr(ST_BLOCK, 2)),
            meter("Meter", addr(ST_LEVELS))]


def usb():
    # A stereo port: one level and mute, a meter per side (channel 1 and 2).
    return [level("Level", addr(ST_BLOCK, 1), caption="*USB*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            meter("Meter 1", addr(ST_LEVELS, 1), text="*USB* L"),
            meter("Meter 2", addr(ST_LEVELS, 2), text="*USB* R")]


LINK_CHANNELS = 16
DANTE_CHANNELS = 16


def channel_group(count, dante):
    # Three parameters per channel, the meter last, so that the tree can group
    # them by channel and drop the meters where a device has none. Set and
    # query name the channel by its label; index 1 is the channel number.
    params = []
    pin = {"cardPin": -1} if dante else {}
    for ch in range(1, count + 1):
        params.append(level("Level %d" % ch, addr(ST_CHANNEL, ch, 1), caption="*CHLABEL*",
                            channelLabel="?", **pin))
        params.append(mute("Mute %d" % ch, addr(ST_CHANNEL, ch, 2), caption="*CHLABEL*",
                           channelLabel="?"))
        params.append(meter("Meter %d" % ch, addr(ST_LEVELS, ch), text="*CHLABEL*"))
    return params


def amp_output():
    return [level("Level", addr(ST_BLOCK, 1), hi=0, caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            polarity(addr(ST_BLOCK, 3)),
            meter("Meter", addr(ST_LEVELS))]


def amp_input():
    return [level("Gain", addr(ST_BLOCK, 1), lo=-20, hi=20, caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            meter("Meter", addr(ST_LEVELS))]


def amp_analog():
    return [level("Level", addr(ST_BLOCK, 1), hi=0, caption="*LABEL*"),
            mute("Mute", addr(ST_BLOCK, 2)),
            choice("Sensitivity", addr(ST_BLOCK, 3), msg="0.775 V,1.4 V,4 V,+4 dBu"),
            meter("Meter", addr(ST_LEVELS), lo=-40, hi=24, breaks=(0, 18), units_text="dBu")]


def group_level():
    # Groups are addressed by their number, which the placed control takes
    # from the group node; the template holds 0.
    return level("Level", addr(ST_GROUP_LEVEL, 0), caption="*LABEL*")


def group_mute():
    return switch("Mute", addr(ST_GROUP_MUTE, 0), transform="bin8")


def group_selector():
    return choice("Selector", addr(ST_GROUP_LEVEL, 0), group="selectorItems", transform="grpV",
                  title="*LABEL*")


# file stem -> (parameters, also write the level-button form)
ZMP = {
    "AMM-GainShare_0": (amm(), False),
    "AMM-Gated_0": (amm(), False),
    "ConferenceRoomRouter_0": (conference_room_router(), True),
    "Conference Room Router_0": (conference_room_router(), True),
    "Dante_0": (channel_group(DANTE_CHANNELS, True), True),
    "ZMPLink_0": (channel_group(LINK_CHANNELS, False), True),
    "Gain_0": (gain(), True),
    "GeneralPurposeRoomCombiner_0": (general_purpose_room_combiner(), True),
    "In_0": (digital_io(), True),
    "Input_2": (analog_input(), True),
    "LogicInput_0": (logic_inputs(), False),
    "LogicOutput_0": (logic_outputs(), False),
    "Logic_1": (logic(), False),
    "Out_0": (digital_io(), True),
    "Output_2": (analog_output(), True),
    "PstnIn": (pstn_in(), True),
    "StandardRoomCombiner_0": (standard_room_combiner(), True),
    "TelephonyOut": (telephony_out(), True),
    "ToneEQ_0": (tone_eq(), True),
    "UsbIn": (usb(), True),
    "VirtualGPI_0": (virtual_gpi(), False),
    "VirtualGPO_0": (virtual_gpo(), False),
    "VoipIn": (voip_in(), True),
}
ZMP.update({"Selector_%d" % n: (selector(inputs), False)
            for n, inputs in enumerate(SELECTOR_INPUTS)})

AMPLIFIER = {
    "Amp_1": (amp_output(), True),
    "Amp_In_1": (amp_input(), True),
    "Analog_1": (amp_analog(), True),
}

KORVEL = {
    "Group_0": ([group_level()], True),
    "Group_1": ([group_level(), group_mute()], True),
    "Group_2": ([group_mute()], False),
    "Group_3": ([group_selector()], False),
    "ParamSet_0": ([recall("Recall")], False),
    "ParamList_0": ([choice("Parameter Set", addr(ST_SCENE), node="ParameterSets",
                            title="*LABEL*")], False),
    "PSetList_0": ([choice("Parameter Set List", addr(ST_SCENE), node="PSetList",
                           title="*LABEL*")], False),
    "RCGroup_0": ([room_widget("Active Combinations", "active"),
                   room_widget("Combination Selector", "combo")], False),
    "RCRoom_0": ([room_widget("Room", "room"), room_widget("Room Name", "label")], False),
}

FOLDERS = {"ZMP": ZMP, "KA": AMPLIFIER, "PQ": AMPLIFIER, "Korvel": KORVEL}

# ---------------------------------------------------------------------------
# Device and module tables

CHASSIS = {
    "ZMP": ["ZMP-11", "ZMP-22 II", "ZMP-30", "ZMP-40", "ZMP-50", "ZMP-60", "EMB70", "XT-10",
            "XT-20AEC", "XT-10C", "XT-30C", "ZMP-30A", "ZMP-50A", "ZMP-30AD", "ZMP-50AD",
            "KVP-18", "KVP-04", "KVP-4"],
    "KA": ["KA6200N", "KA6100N", "KA3200N", "KA3100N"],
    "PQ": ["PQ306D", "PQ204D", "PQ-306D", "PQ-204D", "PQX510D", "PQX520D", "PQX540D"],
}

ZMP_INPUTS = [
    "4ch Mic/Line Input\tInput_2.xml\tAnalog I/O",
    "4ch Mic/Line Input II\tInput_2.xml\tAnalog I/O",
    "4x4 Mic/Line\tInput_2.xml\tAnalog I/O",
    "4ch EDR Input\tInput_2.xml\tAnalog I/O",
    "8ch AES3 In\tIn_0.xml\tDigital I/O",
    "PSTN\tPstnIn.xml\tPSTN I/O",
    "VOIP\tVoipIn.xml\tVoIP I/O",
    "USB\tUsbIn.xml\tUSB I/O",
    # The design data has always carried this row with a blank before the
    # file name; Dante groups find Dante_0.xml by their own rule.
    "Dante 64In64Out Dante_0.xml\tDante I/O",
]

ZMP_OUTPUTS = [
    "4ch Line Output II\tOutput_2.xml\tAnalog I/O",
    "4x4 Mic/Line\tOutput_2.xml\tAnalog I/O",
    "4ch EDR Output\tOutput_2.xml\tAnalog I/O",
    "4ch SDR Output\tOutput_2.xml\tAnalog I/O",
    "8ch AES3 Out\tOut_0.xml\tDigital I/O",
    "ZMPLink Output\tOut_0.xml\tDigital I/O",
    "PSTN\tTelephonyOut.xml\tPSTN I/O",
    "VOIP\tTelephonyOut.xml\tVoIP I/O",
    "USB\tUsbIn.xml\tUSB I/O",
]

AMP_INPUTS = ["4x4 Mic/Line\tAmp_In_1.xml\tAmp I/O"]
AMP_OUTPUTS = ["4x4 Mic/Line\tAmp_1.xml\tAmp I/O"]

MODULES = {
    "ZMP": (ZMP_INPUTS, ZMP_OUTPUTS),
    "KA": (AMP_INPUTS, AMP_OUTPUTS),
    "PQ": (AMP_INPUTS, AMP_OUTPUTS),
}


def table_bytes(lines):
    return "".join(line + CRLF for line in lines).encode(ENCODING)


def outputs():
    """Every file to write, as {path relative to resources/data: bytes}."""
    files = {}
    for folder, templates in FOLDERS.items():
        for stem, (params, has_button_form) in templates.items():
            files["%s/%s.xml" % (folder, stem)] = template_xml(params, buttons=False)
            if has_button_form:
                files["%s/%s1.xml" % (folder, stem)] = template_xml(params, buttons=True)
    for folder, titles in CHASSIS.items():
        files["%s/Chassis.dict" % folder] = table_bytes(titles)
        inputs, outs = MODULES[folder]
        files["%s/InputModules.dict" % folder] = table_bytes(inputs)
        files["%s/OutputModules.dict" % folder] = table_bytes(outs)
    return files


def on_disk():
    found = []
    for folder, _, names in os.walk(DATA):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), DATA).replace(os.sep, "/"))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the files on disk instead of writing them")
    args = parser.parse_args()
    files = outputs()
    stale = []
    for relative, data in sorted(files.items()):
        path = os.path.join(DATA, *relative.split("/"))
        current = None
        if os.path.exists(path):
            with open(path, "rb") as f:
                current = f.read()
        if current == data:
            continue
        stale.append(relative)
        if not args.check:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    templates = sum(1 for name in files if name.endswith(".xml"))
    if args.check:
        for relative in stale:
            print("differs: %s" % relative)
        extra = sorted(set(on_disk()) - set(files))
        for relative in extra:
            print("not generated: %s" % relative)
        return 1 if stale or extra else 0
    print("%d templates and %d tables; %d file(s) rewritten"
          % (templates, len(files) - templates, len(stale)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
