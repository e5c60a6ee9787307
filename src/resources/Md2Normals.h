#pragma once
// The fixed table of vertex normals used by MD2 models: every vertex of a
// frame stores one byte that picks its normal from this table.

namespace NSGraphic {

constexpr int kMd2NormalCount = 162;

extern const float md2Normals[kMd2NormalCount][3];

} // namespace NSGraphic
