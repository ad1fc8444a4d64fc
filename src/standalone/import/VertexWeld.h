#pragma once

struct aiMesh;

namespace kiln::standalone {

// Welds the mesh's vertices whose every attribute agrees: the same position,
// and normals, tangents, texture coordinates, colours, morph targets and bone
// weights within 1e-5. Drops vertices no face uses and keeps the first of
// each weld, in order. A mesh whose indices do not fit its vertices is left
// as it is.
void WeldIdenticalVertices(aiMesh& mesh);

}  // namespace kiln::standalone
