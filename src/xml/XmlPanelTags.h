#pragma once

// Element names shared by the writers and readers of panel files: the
// project, the canvas and every control keep their settings as elements
// inside one <Property name="attributes"> element.
namespace XmlPanelTags {
inline constexpr char Property[] = "Property";
inline constexpr char Attributes[] = "attributes";
} // namespace XmlPanelTags
