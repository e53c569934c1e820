#pragma once

// Element names shared by the writers and readers of panel files: the
// project, the canvas, every connection and every control keep their
// settings as elements inside one <Property name="attributes"> element; a
// control keeps its widgets inside <Property name="widget">.
namespace XmlPanelTags {
inline constexpr char Property[] = "Property";
inline constexpr char Attributes[] = "attributes";
inline constexpr char Widget[] = "widget";
inline constexpr char Name[] = "name";
inline constexpr char Type[] = "type";

inline constexpr char Version[] = "Version";
inline constexpr char FileVersion[] = "fileVersion";

// The document tree: Scenes > Scene > Panels > Panel > Controls > Control.
inline constexpr char Scenes[] = "Scenes";
inline constexpr char Scene[] = "Scene";
inline constexpr char Panels[] = "Panels";
inline constexpr char Panel[] = "Panel";
inline constexpr char Controls[] = "Controls";
inline constexpr char Control[] = "Control";

// Connections > Connection name="Chassis|||<nodeID>" (the device's label
// for a device without a node id) > Property "attributes" > one element per
// setting of the device's connection.
inline constexpr char Connections[] = "Connections";
inline constexpr char Connection[] = "Connection";
inline constexpr char ChassisPrefix[] = "Chassis";
} // namespace XmlPanelTags
