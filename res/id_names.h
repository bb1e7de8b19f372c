// The names scenarios give the tool's menu commands and dialog controls
// (revediz-run reads them, the simulator's recorder writes them).
#ifndef REVEDIZ_RES_ID_NAMES_H
#define REVEDIZ_RES_ID_NAMES_H

#include "res/resource_ids.h"

struct IdName {
  const char* name;
  int id;
};

inline constexpr IdName kMenuCommandNames[] = {
    {"PosInitialize", IDM_POS_INITIALIZE}, {"PosOpen", IDM_POS_OPEN}, {"PosClose", IDM_POS_CLOSE},
    {"PosIoctl", IDM_POS_IOCTL},           {"PosRead", IDM_POS_READ}, {"PosWrite", IDM_POS_WRITE},
    {"Exit", IDM_EXIT},
};

#define REVEDIZ_ID_NAME(id) {#id, id}
inline constexpr IdName kDialogControlNames[] = {
    {"OK", 1},
    {"Cancel", 2},
    REVEDIZ_ID_NAME(IDC_APPLICATION_NAME), REVEDIZ_ID_NAME(IDC_RESOURCE_FILE), REVEDIZ_ID_NAME(IDC_N_ARGUMENTS),
    REVEDIZ_ID_NAME(IDC_DEVICE_CLASS),     REVEDIZ_ID_NAME(IDC_RESOURCE),      REVEDIZ_ID_NAME(IDC_TYPE),
    REVEDIZ_ID_NAME(IDC_VALUE),            REVEDIZ_ID_NAME(IDC_ADD_RESOURCE),  REVEDIZ_ID_NAME(IDC_RESOURCES_LIST),
    REVEDIZ_ID_NAME(IDC_ARGUMENT_GROUP),   REVEDIZ_ID_NAME(IDC_DEVICE_NAME),   REVEDIZ_ID_NAME(IDC_HANDLE),
    REVEDIZ_ID_NAME(IDC_BUFFER_SIZE),      REVEDIZ_ID_NAME(IDC_REQUEST),       REVEDIZ_ID_NAME(IDC_TEXT_MODE),
    REVEDIZ_ID_NAME(IDC_FILE_MODE),        REVEDIZ_ID_NAME(IDC_DATA_BOX),      REVEDIZ_ID_NAME(IDC_INPUT_FILE),
    REVEDIZ_ID_NAME(IDC_OUTPUT_FILE),
};
#undef REVEDIZ_ID_NAME

#endif  // REVEDIZ_RES_ID_NAMES_H
