#pragma once
#include <cstdint>

// A host class is known by a pair of 32-bit words; a super class by a number.
class Class_ID {
 public:
  constexpr Class_ID() = default;
  constexpr Class_ID(uint32_t a, uint32_t b) : a_(a), b_(b) {}
  constexpr uint32_t PartA() const { return a_; }
  constexpr uint32_t PartB() const { return b_; }
  friend constexpr bool operator==(Class_ID x, Class_ID y) { return x.a_ == y.a_ && x.b_ == y.b_; }

 private:
  uint32_t a_ = 0, b_ = 0;
};

using SClass_ID = uint32_t;

// Super classes.
constexpr SClass_ID GEN_DERIVOB_CLASS_ID = 2;
constexpr SClass_ID GEOMOBJECT_CLASS_ID = 16;
constexpr SClass_ID CAMERA_CLASS_ID = 32;
constexpr SClass_ID LIGHT_CLASS_ID = 48;
constexpr SClass_ID SHAPE_CLASS_ID = 64;
constexpr SClass_ID HELPER_CLASS_ID = 80;
constexpr SClass_ID OSM_CLASS_ID = 0x810;
constexpr SClass_ID MATERIAL_CLASS_ID = 0xC00;
constexpr SClass_ID TEXMAP_CLASS_ID = 0xC10;
constexpr SClass_ID CTRL_FLOAT_CLASS_ID = 0x9003;
constexpr SClass_ID CTRL_POSITION_CLASS_ID = 0x900B;
constexpr SClass_ID CTRL_ROTATION_CLASS_ID = 0x900C;
constexpr SClass_ID CTRL_SCALE_CLASS_ID = 0x900D;
constexpr SClass_ID CTRL_MATRIX3_CLASS_ID = 0x9008;
constexpr SClass_ID SCENE_EXPORT_CLASS_ID = 0xA20;

// Classes the exporter tells apart.
constexpr Class_ID TRIOBJ_CLASS_ID{9, 0};
constexpr Class_ID EDITTRIOBJ_CLASS_ID{0xE44F10B3, 0};
constexpr Class_ID SKIN_CLASS_ID{0x0095C723, 0x00015666};
constexpr Class_ID MORPHER_CLASS_ID{0x17BB6854, 0xA5CBA2A3};
constexpr Class_ID BONE_OBJ_CLASSID{0x28BF6E8D, 0x2ECCA840};
constexpr Class_ID BONE_CLASS_ID{0x8A63C0, 0};
constexpr Class_ID DUMMY_CLASS_ID{0x876234, 0};
constexpr Class_ID POINTHELP_CLASS_ID{0x1020, 0};
constexpr Class_ID TARGET_CAMERA_CLASS_ID{0x1002, 0};
constexpr Class_ID FREE_CAMERA_CLASS_ID{0x1001, 0};
constexpr Class_ID OMNI_LIGHT_CLASS_ID{0x1011, 0};
constexpr Class_ID SPOT_LIGHT_CLASS_ID{0x1012, 0};  // target spot
constexpr Class_ID DIR_LIGHT_CLASS_ID{0x1013, 0};   // free directional
constexpr Class_ID FSPOT_LIGHT_CLASS_ID{0x1014, 0};
constexpr Class_ID TDIR_LIGHT_CLASS_ID{0x1015, 0};  // target directional
// The slider helper of the engine's rigging plug-in.
constexpr Class_ID OKAPISLIDER_CLASS_ID{0x2CF655C7, 0x58FB7B99};
constexpr Class_ID PRS_CONTROL_CLASS_ID{0x2005, 0};
constexpr Class_ID SPLINESHAPE_CLASS_ID{10, 0};
constexpr Class_ID LINEARSHAPE_CLASS_ID{0xAA, 0};
constexpr Class_ID SPLINE3D_CLASS_ID{0x1040, 0};
constexpr Class_ID NGON_CLASS_ID{0x1050, 0};
constexpr Class_ID DONUT_CLASS_ID{0x1060, 0};
constexpr Class_ID STAR_CLASS_ID{0x1995, 0};

// Controllers and solvers the animation export tells apart. Keyframe
// controller classes (second word 0): Bezier float 0x2007, position 0x2008,
// rotation 0x2009, scale 0x2010; TCB 0x442311 to 0x442315; linear 0x2001 to
// 0x2004.
constexpr Class_ID IPOS_CONTROL_CLASS_ID{0x118F7E02, 0xFEEE238B};  // Position XYZ
constexpr Class_ID EULER_CONTROL_CLASS_ID{0x2012, 0};              // Euler XYZ
constexpr Class_ID LINK_CONSTRAINT_CLASS_ID{0x873FE764, 0xAABE8601};
constexpr Class_ID LOOKAT_CONSTRAINT_CLASS_ID{0x5DBE7AD8, 0x1D1B488B};
constexpr Class_ID IKCONTROL_CLASS_ID{0x0E6F5815, 0x717F99A4};
constexpr Class_ID IKCHAINCONTROL_CLASS_ID{0x78724378, 0x08A4FB9A};
constexpr Class_ID IKHISOLVER_CLASS_ID{0x31C2F677, 0x2930D2B6};
constexpr SClass_ID IK_SOLVER_CLASS_ID = 0xC48;
