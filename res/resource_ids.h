/* Menu command and control ids, shared by the resource scripts and the code.
   Plain #defines so that windres reads this file too. */
#ifndef REVEDIZ_RES_RESOURCE_IDS_H
#define REVEDIZ_RES_RESOURCE_IDS_H

/* Pos_Commands menu */
#define IDM_POS_INITIALIZE 100
#define IDM_POS_OPEN 101
#define IDM_POS_CLOSE 102
#define IDM_POS_IOCTL 103
#define IDM_POS_READ 104
#define IDM_POS_WRITE 105
#define IDM_EXIT 107

/* Dialog controls */
#define IDC_APPLICATION_NAME 200
#define IDC_RESOURCE_FILE 201
#define IDC_N_ARGUMENTS 202
#define IDC_DEVICE_CLASS 203
#define IDC_RESOURCE 204
#define IDC_TYPE 205
#define IDC_VALUE 206
#define IDC_ADD_RESOURCE 207
#define IDC_RESOURCES_LIST 208
#define IDC_ARGUMENT_GROUP 222
#define IDC_DEVICE_NAME 223
#define IDC_HANDLE 224
#define IDC_BUFFER_SIZE 225
#define IDC_REQUEST 229
#define IDC_TEXT_MODE 231
#define IDC_FILE_MODE 232
#define IDC_DATA_BOX 233
#define IDC_INPUT_FILE 234
#define IDC_OUTPUT_FILE 235

#endif
