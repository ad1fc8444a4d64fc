#pragma once

struct aiMesh;

namespace kiln::standalone {

// Welds the mesh's vertices whose every attribute (positions, normals,
// tangents, texture coordinates, colours, morph targets and bone weights)
// agrees exactly, and drops vertices no face uses, keeping the first of each
// in its order. A mesh whose indices do not fit its vertices is left as it is.
void WeldIdenticalVertices(aiMesh& mesh);

}  // namespace kiln::standalone
