#pragma once
#include "host/Animatable.h"

constexpr SClass_ID CUST_ATTRIB_CLASS_ID = 0xC20;

// A custom attribute: a user-defined set of parameter blocks attached to an
// object (NumParamBlocks and GetParamBlock of Animatable).
class CustAttrib : public Animatable {
 public:
  SClass_ID SuperClassID() override { return CUST_ATTRIB_CLASS_ID; }
  virtual const char* GetName() = 0;
};

// The custom attributes of one object, in order.
class ICustAttribContainer {
 public:
  virtual ~ICustAttribContainer() = default;
  virtual int GetNumCustAttribs() = 0;
  virtual CustAttrib* GetCustAttrib(int i) = 0;
};
