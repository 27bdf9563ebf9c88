// What the plug-in says of itself and of its importers.
#pragma once

namespace plugin_info {

constexpr char Version[] = "1.40.10";
constexpr char Description[] = "MAX and ASE import";
constexpr char IconGroup[] = "MAX";

constexpr char MaxExtension[] = "max";
constexpr char MaxDescription[] = "3D Studio MAX Scene";
constexpr char AseExtension[] = "ase";
constexpr char AseDescription[] = "ASCII MAX Scene";

}  // namespace plugin_info
