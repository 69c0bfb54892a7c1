/**
 * @fileoverview What RGFW's JavaScript in raylib calls on Module by name: the
 * closure pass must not rename these.
 * @externs
 */
var RGFWCalls = {};
RGFWCalls._RGFW_handleKeyEvent;
RGFWCalls._RGFW_handleKeyMods;
RGFWCalls._RGFW_makeSetValue;
RGFWCalls._RGFW_mkdir;
RGFWCalls._RGFW_writeFile;
RGFWCalls._Emscripten_onDrop;
