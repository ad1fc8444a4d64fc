#pragma once
#include "host/Color.h"
#include "host/Time.h"

// Parameter blocks: the typed, named parameters of materials, maps and custom
// attributes. A parameter is known by its id; its definition in the block's
// descriptor gives its internal name and type.
using ParamID = short;

class Control;

// Parameter types (a table of values adds TYPE_TAB to its element type).
enum ParamType2 : int {
  TYPE_FLOAT = 0,
  TYPE_INT = 1,
  TYPE_RGBA = 2,
  TYPE_POINT3 = 3,
  TYPE_BOOL = 4,
  TYPE_ANGLE = 5,
  TYPE_PCNT_FRAC = 6,
  TYPE_WORLD = 7,
  TYPE_STRING = 8,
  TYPE_FILENAME = 9,
};
constexpr int TYPE_TAB = 0x800;

struct ParamDef {
  const char* int_name = "";  // internal name, fixed by the class that defines the parameter
  ParamID ID = 0;
  int type = TYPE_FLOAT;  // a ParamType2, plus TYPE_TAB for a table
};

// The definitions of a block's parameters.
class ParamBlockDesc2 {
 public:
  virtual ~ParamBlockDesc2() = default;
  // Number of parameters defined.
  virtual int Count() = 0;
  // Index of the definition of a parameter id; -1 when the block has no such id.
  virtual int IDtoIndex(ParamID id) = 0;
  // The definition at an index below Count().
  virtual const ParamDef& GetParamDef(int index) = 0;
};

// A block of parameter values. Values are asked by id, at a time, and for a
// table by index; asking for an id the block lacks, or an index outside the
// table, gives 0 (an empty colour, a null string).
class IParamBlock2 {
 public:
  virtual ~IParamBlock2() = default;
  // The block's descriptor, obtained from the host; each GetDesc is matched
  // by one ReleaseDesc.
  virtual ParamBlockDesc2* GetDesc() = 0;
  virtual void ReleaseDesc() = 0;
  // Number of values of a parameter: its table size, 1 for a single value.
  virtual int Count(ParamID id) = 0;
  virtual int GetInt(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual float GetFloat(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual Color GetColor(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual const char* GetStr(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  // The controller that animates a value; null when the value is not animated.
  virtual Control* GetController(ParamID id, int tabIndex = 0) {
    (void)id, (void)tabIndex;
    return nullptr;
  }
};
