// Resource ids shared by the resource script and the code. Plain #defines,
// because windres reads this file too.
#pragma once

#define IDI_TARVO 1

// String table (German, language 1031).
#define IDS_WINDOWS_ERROR 202           // "Windows Fehler: %s (Fehlernummer = %d).\n"
#define IDS_JNI_ERROR_REASON 203        // "JNI Fehler: %s\nReason: %s.\n"
#define IDS_COM_ERROR 204
#define IDS_JNI_ERROR 205
#define IDS_RUNTIME_NOT_FOUND_SERVER 206
#define IDS_RUNTIME_NOT_FOUND 207
#define IDS_MODULE_PATH_NOT_FOUND 208
#define IDS_CLASS_PATH_MISSING 209
#define IDS_MAIN_CLASS_MISSING 210
#define IDS_MAIN_CLASS_NOT_LOADED 211
#define IDS_CREATE_JAVA_VM_MISSING 212
#define IDS_JAVA_VM_NOT_CREATED 213
#define IDS_BROWSE_RUNTIME_TITLE 214
#define IDS_MAIN_CLASS_NOT_FOUND 215
#define IDS_MAIN_METHOD_NOT_FOUND 216
#define IDS_VERSION_ANY 217
#define IDS_VERSION_MAXIMUM 218
#define IDS_VERSION_MINIMUM 219
#define IDS_VERSION_EXACT 220
#define IDS_VERSION_RANGE 221
#define IDS_JVM_LIBRARY_NOT_LOADED 222
#define IDS_NOT_INITIALIZED 223
#define IDS_MODULE_NOT_INITIALIZED 224
#define IDS_JNI_REASON_UNKNOWN 225
#define IDS_JNI_REASON_DETACHED 226
#define IDS_JNI_REASON_VERSION 227
#define IDS_JNI_REASON_NO_MEMORY 228
#define IDS_JNI_REASON_EXISTS 229
#define IDS_JNI_REASON_INVALID_ARGUMENTS 230
#define IDS_PAIR_PRODUCT_NOT_STARTED 231
// A later start whose arguments do not fit the single-instance record.
#define IDS_ARGUMENTS_TOO_LONG 232
