#pragma once
#include <gtest/gtest.h>

#include "standalone/ControllerWriter.h"
#include "standalone/Modifiers.h"
#include "standalone/ObjectParamsJson.h"
#include "standalone/Scene.h"
#include "standalone/SceneObjects.h"

// Field-by-field comparison of two in-memory scenes, for round-trip tests.
namespace kiln::standalone::testing {

inline void ExpectSamePoint(const Point3& a, const Point3& b, const std::string& what) {
  EXPECT_TRUE(a == b) << what << ": (" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x
                      << ", " << b.y << ", " << b.z << ")";
}

inline void ExpectSameMesh(const Mesh& a, const Mesh& b, const std::string& what) {
  ASSERT_EQ(a.verts.size(), b.verts.size()) << what;
  for (size_t i = 0; i < a.verts.size(); ++i) ExpectSamePoint(a.verts[i], b.verts[i], what);
  ASSERT_EQ(a.faces.size(), b.faces.size()) << what;
  for (size_t f = 0; f < a.faces.size(); ++f) {
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(a.faces[f].v[c], b.faces[f].v[c]) << what << " face " << f;
    EXPECT_EQ(a.faces[f].smGroup, b.faces[f].smGroup) << what << " face " << f;
    EXPECT_EQ(a.faces[f].flags, b.faces[f].flags) << what << " face " << f;
  }
  auto sameCorners = [&](const std::vector<TVFace>& x, const std::vector<TVFace>& y) {
    ASSERT_EQ(x.size(), y.size()) << what;
    for (size_t f = 0; f < x.size(); ++f) {
      for (int c = 0; c < 3; ++c) EXPECT_EQ(x[f].t[c], y[f].t[c]) << what << " corner face " << f;
    }
  };
  auto samePoints = [&](const std::vector<Point3>& x, const std::vector<Point3>& y) {
    ASSERT_EQ(x.size(), y.size()) << what;
    for (size_t i = 0; i < x.size(); ++i) ExpectSamePoint(x[i], y[i], what);
  };
  samePoints(a.tVerts, b.tVerts);
  sameCorners(a.tvFace, b.tvFace);
  samePoints(a.vertCol, b.vertCol);
  sameCorners(a.vcFace, b.vcFace);
  samePoints(a.specifiedNormals, b.specifiedNormals);
  EXPECT_EQ(a.specifiedNormalSet, b.specifiedNormalSet) << what;
  EXPECT_EQ(a.dataChannelCount, b.dataChannelCount) << what;
}

inline void ExpectSameClass(Animatable* a, Animatable* b, const std::string& what) {
  ASSERT_EQ(a == nullptr, b == nullptr) << what << " present in one scene only";
  if (!a) return;
  EXPECT_EQ(a->ClassID(), b->ClassID()) << what;
  EXPECT_EQ(a->SuperClassID(), b->SuperClassID()) << what;
  EXPECT_EQ(a->GetClassName(), b->GetClassName()) << what;
}

template <typename T>
void ExpectSameController(ValueControl<T>* a, ValueControl<T>* b, const std::string& what) {
  ExpectSameClass(a, b, what);
  if (a && b) {
    EXPECT_EQ(ValueJson(*a, true), ValueJson(*b, true)) << what;
  }
}

inline int IndexOf(const Scene& scene, const Mtl* m) {
  for (size_t i = 0; i < scene.Materials().size(); ++i) {
    if (scene.Materials()[i].get() == m) return static_cast<int>(i);
  }
  return -1;
}

inline int IndexOf(const Scene& scene, const Texmap* t) {
  for (size_t i = 0; i < scene.Textures().size(); ++i) {
    if (scene.Textures()[i].get() == t) return static_cast<int>(i);
  }
  return -1;
}

inline void ExpectSameModifier(StackModifier& a, StackModifier& b, const std::string& what) {
  ExpectSameClass(&a, &b, what);
  EXPECT_EQ(a.IsEnabled(), b.IsEnabled()) << what;
  if (auto* sa = dynamic_cast<SkinModifier*>(&a)) {
    auto* sb = dynamic_cast<SkinModifier*>(&b);
    ASSERT_NE(sb, nullptr) << what;
    EXPECT_EQ(sa->refFrame, sb->refFrame) << what;
    ASSERT_EQ(sa->skinBindTM.has_value(), sb->skinBindTM.has_value()) << what;
    if (sa->skinBindTM) {
      EXPECT_TRUE(*sa->skinBindTM == *sb->skinBindTM) << what;
    }
    ASSERT_EQ(sa->bones.size(), sb->bones.size()) << what;
    for (size_t i = 0; i < sa->bones.size(); ++i) {
      EXPECT_EQ(sa->bones[i].node->GetHandle(), sb->bones[i].node->GetHandle()) << what;
      EXPECT_TRUE(sa->BoneBindTM(static_cast<int>(i)) == sb->BoneBindTM(static_cast<int>(i)))
          << what << " bone " << i;
    }
    ASSERT_EQ(sa->NumPoints(), sb->NumPoints()) << what;
    for (int p = 0; p < sa->NumPoints(); ++p) {
      auto wa = sa->PointWeights(p), wb = sb->PointWeights(p);
      EXPECT_TRUE(std::equal(wa.begin(), wa.end(), wb.begin(), wb.end())) << what << " point " << p;
    }
  }
  if (auto* ma = dynamic_cast<MorpherModifier*>(&a)) {
    auto* mb = dynamic_cast<MorpherModifier*>(&b);
    ASSERT_NE(mb, nullptr) << what;
    for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
      const MorphChannelSlot& x = ma->SlotAt(s);
      const MorphChannelSlot& y = mb->SlotAt(s);
      const std::string at = what + " slot " + std::to_string(s);
      EXPECT_EQ(x.present, y.present) << at;
      EXPECT_EQ(x.active, y.active) << at;
      EXPECT_EQ(x.invalid, y.invalid) << at;
      EXPECT_EQ(x.weight, y.weight) << at;
      EXPECT_EQ(x.weights, y.weights) << at;
      EXPECT_TRUE(x.deltas == y.deltas) << at;
      EXPECT_TRUE(x.points == y.points) << at;
      ExpectSameController(ma->WeightController(s), mb->WeightController(s), at + " weight");
    }
  }
}

inline void ExpectSameObject(SceneNode& a, SceneNode& b, const std::string& what) {
  ExpectSameClass(a.GetObjectRef(), b.GetObjectRef(), what + " object");
  DerivedObject* sa = a.StackIfAny();
  DerivedObject* sb = b.StackIfAny();
  ASSERT_EQ(sa == nullptr, sb == nullptr) << what;
  Object* baseA = sa ? sa->GetObjRef() : a.GetObjectRef();
  Object* baseB = sb ? sb->GetObjRef() : b.GetObjectRef();
  ExpectSameClass(baseA, baseB, what + " base object");
  if (auto* ta = dynamic_cast<TriObject*>(baseA)) {
    ExpectSameMesh(ta->mesh, dynamic_cast<TriObject&>(*baseB).mesh, what);
  }
  if (auto* oa = dynamic_cast<SceneObject*>(baseA)) {
    auto* ob = dynamic_cast<SceneObject*>(baseB);
    ASSERT_EQ(oa->mesh.has_value(), ob->mesh.has_value()) << what;
    if (oa->mesh) ExpectSameMesh(*oa->mesh, *ob->mesh, what);
    nlohmann::ordered_json pa = nlohmann::ordered_json::object(), pb = pa;
    WriteObjectParams(*oa, pa);
    WriteObjectParams(*ob, pb);
    EXPECT_EQ(pa, pb) << what << " parameters";
  }
  if (!sa) return;
  ASSERT_EQ(sa->NumModifiers(), sb->NumModifiers()) << what;
  for (int i = 0; i < sa->NumModifiers(); ++i) {
    ExpectSameModifier(sa->ModifierAt(i), sb->ModifierAt(i),
                       what + " modifier " + std::to_string(i));
  }
}

inline void ExpectSameNode(const Scene& sceneA, SceneNode& a, const Scene& sceneB, SceneNode& b) {
  const std::string what = "node " + a.Name();
  EXPECT_EQ(a.Name(), b.Name());
  EXPECT_EQ(a.Handle(), b.Handle()) << what;
  EXPECT_EQ(a.Parent()->Handle(), b.Parent()->Handle()) << what;
  EXPECT_EQ(a.hidden, b.hidden) << what;
  EXPECT_EQ(a.selected, b.selected) << what;
  EXPECT_TRUE(a.objectOffset == b.objectOffset) << what << " object offset";
  EXPECT_EQ(a.userProps, b.userProps) << what;
  EXPECT_EQ(a.target ? a.target->Handle() : 0u, b.target ? b.target->Handle() : 0u) << what;
  EXPECT_EQ(IndexOf(sceneA, a.material), IndexOf(sceneB, b.material)) << what;
  ExpectSameClass(a.Transform(), b.Transform(), what + " transform");
  if (PRSController* pa = a.PRS()) {
    PRSController* pb = b.PRS();
    ExpectSameController(pa->position.get(), pb->position.get(), what + " position");
    ExpectSameController(pa->rotation.get(), pb->rotation.get(), what + " rotation");
    ExpectSameController(pa->scale.get(), pb->scale.get(), what + " scale");
    ExpectSameController(pa->roll.get(), pb->roll.get(), what + " roll");
  }
  ExpectSameController(a.Visibility(), b.Visibility(), what + " visibility");
  ExpectSameObject(a, b, what);
}

inline void ExpectSameScene(const Scene& a, const Scene& b) {
  EXPECT_EQ(a.frameRate, b.frameRate);
  EXPECT_EQ(a.animRange.start, b.animRange.start);
  EXPECT_EQ(a.animRange.end, b.animRange.end);
  EXPECT_EQ(a.time, b.time);
  EXPECT_EQ(a.pluginConfigDir, b.pluginConfigDir);
  ASSERT_EQ(a.Textures().size(), b.Textures().size());
  for (size_t i = 0; i < a.Textures().size(); ++i) {
    Texture& x = *a.Textures()[i];
    Texture& y = *b.Textures()[i];
    EXPECT_EQ(x.name, y.name);
    ExpectSameClass(&x, &y, "texture " + x.name);
    EXPECT_EQ(x.UVAxis(), y.UVAxis()) << x.name;
    ASSERT_EQ(x.subTexmaps.size(), y.subTexmaps.size()) << x.name;
    for (size_t s = 0; s < x.subTexmaps.size(); ++s) {
      EXPECT_EQ(IndexOf(a, x.subTexmaps[s]), IndexOf(b, y.subTexmaps[s])) << x.name;
    }
  }
  ASSERT_EQ(a.Materials().size(), b.Materials().size());
  for (size_t i = 0; i < a.Materials().size(); ++i) {
    Material& x = *a.Materials()[i];
    Material& y = *b.Materials()[i];
    EXPECT_EQ(x.name, y.name);
    ExpectSameClass(&x, &y, "material " + x.name);
    ASSERT_EQ(x.subMaterials.size(), y.subMaterials.size()) << x.name;
    for (size_t s = 0; s < x.subMaterials.size(); ++s) {
      EXPECT_EQ(IndexOf(a, x.subMaterials[s]), IndexOf(b, y.subMaterials[s])) << x.name;
    }
    ASSERT_EQ(x.maps.size(), y.maps.size()) << x.name;
    for (size_t s = 0; s < x.maps.size(); ++s) {
      EXPECT_EQ(IndexOf(a, x.maps[s]), IndexOf(b, y.maps[s])) << x.name << " map " << s;
    }
  }
  std::vector<SceneNode*> na = a.NodesDepthFirst();
  std::vector<SceneNode*> nb = b.NodesDepthFirst();
  ASSERT_EQ(na.size(), nb.size());
  for (size_t i = 0; i < na.size(); ++i) ExpectSameNode(a, *na[i], b, *nb[i]);
}

}  // namespace kiln::standalone::testing
