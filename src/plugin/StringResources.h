#pragma once

namespace kiln {

// String resource ids of the module.
enum StringId : int {
  IDS_LIBDESCRIPTION = 2003,
  IDS_CLASS_NAME = 2004,
  IDS_EXT_SCENE = 2005,
  IDS_EXT_HUMAN = 2006,
  IDS_EXT_CAR = 2008,
  IDS_LONG_DESC = 2009,
  IDS_SHORT_DESC = 2010,
  IDS_AUTHOR = 2011,
  IDS_COPYRIGHT = 2012,
  IDS_EXT_ANIMATION = 2013,
};

// The resource text of id, copied into one shared 256-character buffer that
// the next call overwrites; null for an id the table does not have.
const char* GetString(int id);

}  // namespace kiln
