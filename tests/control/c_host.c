/* A host written in C: loads libkinoro.so, reaches the control only through its exports and
 * vtables, and checks what a host relies on. Exit status 0 when every check held.
 * usage: c_host <path of libkinoro.so> <its file version, e.g. 1.0.0.1> [media file]
 * With a media file it also places a control, plays the file through FileName and watches the
 * control pause it behind its pre-roll page, driving the library by iterating GLib's default
 * main context as a host without Qt does. */
#define _XOPEN_SOURCE 700
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <uchar.h>
#include <unistd.h>

#include "control/kinoro_abi.h"

static int failures = 0;
#define CHECK(condition)                                                  \
  do {                                                                    \
    if (!(condition)) {                                                   \
      fprintf(stderr, "c_host.c:%d: failed: %s\n", __LINE__, #condition); \
      ++failures;                                                         \
    }                                                                     \
  } while (0)

/* The library's string and variant functions, looked up by name. */
static BSTR (*AllocString)(const OLECHAR*);
static void (*FreeString)(BSTR);
static UINT (*StringLen)(BSTR);
static void (*InitVariant)(VARIANT*);
static HRESULT (*ClearVariant)(VARIANT*);
static HRESULT (*TakeErrorInfo)(ULONG, IErrorInfo**);

static int sameText(BSTR s, const char16_t* expected) {
  UINT n = 0;
  while (expected[n]) ++n;
  return StringLen(s) == n && (n == 0 || memcmp(s, expected, n * sizeof(OLECHAR)) == 0);
}

/* ---- an event sink ---- */
typedef struct Sink {
  IDispatch iface;
  int refs;
  DISPID received[256];
  int count;
} Sink;

static HRESULT sinkQuery(IDispatch* self, REFIID iid, void** out) {
  if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IDispatch) ||
      IsEqualGUID(iid, &DIID_IKinoroEvents)) {
    ((Sink*)self)->refs++;
    *out = self;
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}
static ULONG sinkAddRef(IDispatch* self) { return (ULONG)++((Sink*)self)->refs; }
static ULONG sinkRelease(IDispatch* self) { return (ULONG)--((Sink*)self)->refs; }
static HRESULT sinkTypeInfoCount(IDispatch* self, UINT* count) {
  (void)self;
  *count = 0;
  return S_OK;
}
static HRESULT sinkTypeInfo(IDispatch* self, UINT index, LCID lcid, ITypeInfo** info) {
  (void)self, (void)index, (void)lcid;
  *info = NULL;
  return E_NOTIMPL;
}
static HRESULT sinkNames(IDispatch* self, REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                         DISPID* ids) {
  (void)self, (void)iid, (void)names, (void)count, (void)lcid, (void)ids;
  return E_NOTIMPL;
}
static HRESULT sinkInvoke(IDispatch* self, DISPID id, REFIID iid, LCID lcid, WORD flags,
                          DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argErr) {
  Sink* sink = (Sink*)self;
  (void)iid, (void)lcid, (void)params, (void)result, (void)exception, (void)argErr;
  if (flags == DISPATCH_METHOD && sink->count < 256) sink->received[sink->count++] = id;
  return S_OK;
}
static const IDispatchVtbl sinkVtbl = {sinkQuery,    sinkAddRef, sinkRelease, sinkTypeInfoCount,
                                       sinkTypeInfo, sinkNames,  sinkInvoke};

/* ---- a property bag holding Volume=150 and Caption=Bag ---- */
static HRESULT bagQuery(IPropertyBag* self, REFIID iid, void** out) {
  (void)self, (void)iid;
  *out = NULL;
  return E_NOINTERFACE;
}
static ULONG bagRef(IPropertyBag* self) {
  (void)self;
  return 1;
}
static int nameIs(LPCOLESTR name, const char16_t* expected) {
  while (*name && *name == *expected) ++name, ++expected;
  return *name == 0 && *expected == 0;
}
static HRESULT bagRead(IPropertyBag* self, LPCOLESTR name, VARIANT* value, IErrorLog* log) {
  (void)self, (void)log;
  const char16_t* text = nameIs(name, u"Volume")    ? u"150"
                         : nameIs(name, u"Caption") ? u"Bag"
                                                    : NULL;
  if (!text) return E_INVALIDARG;
  value->vt = VT_BSTR;
  value->bstrVal = AllocString(text);
  return S_OK;
}
static HRESULT bagWrite(IPropertyBag* self, LPCOLESTR name, VARIANT* value) {
  (void)self, (void)name, (void)value;
  return E_NOTIMPL;
}
static const IPropertyBagVtbl bagVtbl = {bagQuery, bagRef, bagRef, bagRead, bagWrite};

/* ---- helpers ---- */
static HRESULT invoke(IKinoro* k, DISPID id, WORD flags, VARIANT* argument, VARIANT* result,
                      EXCEPINFO* exception) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {argument, argument ? &named : NULL, argument ? 1u : 0u, argument ? 1u : 0u};
  UINT argErr = 0;
  return k->lpVtbl->Invoke(k, id, &GUID_NULL, 0, flags, &params, result, exception, &argErr);
}

static char* readText(const char* path) {
  FILE* f = fopen(path, "rb");
  char* text;
  long size;
  if (!f) return NULL;
  fseek(f, 0, SEEK_END);
  size = ftell(f);
  fseek(f, 0, SEEK_SET);
  text = calloc((size_t)size + 1, 1);
  if (text && fread(text, 1, (size_t)size, f) != (size_t)size) text[0] = 0;
  fclose(f);
  return text;
}

/* Every member by DISPID: gets answer the row's type, puts of the value read back succeed
 * where the row is writable and are refused where it is not. */
static void checkEveryRow(IKinoro* k) {
  VARIANT value, ignored;
  HRESULT hr;
#define ROW_CHECK(order, dispid, Name, access, T, type, hidden)                                  \
  InitVariant(&value);                                                                           \
  InitVariant(&ignored);                                                                         \
  if (strcmp(#access, "METHOD") == 0) {                                                          \
    CHECK(invoke(k, dispid, DISPATCH_METHOD, NULL, &value, NULL) == S_OK);                       \
    CHECK(invoke(k, dispid, DISPATCH_PROPERTYGET, NULL, &value, NULL) == DISP_E_MEMBERNOTFOUND); \
  } else {                                                                                       \
    hr = invoke(k, dispid, DISPATCH_PROPERTYGET, NULL, &value, NULL);                            \
    CHECK(hr == S_OK && value.vt == type);                                                       \
    hr = invoke(k, dispid, DISPATCH_PROPERTYPUT, &value, &ignored, NULL);                        \
    if (strcmp(#access, "GET") == 0)                                                             \
      CHECK(hr == DISP_E_MEMBERNOTFOUND);                                                        \
    else                                                                                         \
      CHECK(hr == S_OK);                                                                         \
  }                                                                                              \
  ClearVariant(&value);                                                                          \
  ClearVariant(&ignored);
  KINORO_MEMBERS(ROW_CHECK)
#undef ROW_CHECK
}

static void checkMembers(IKinoro* k, ULONGLONG expectedVersion) {
  LONG volume = 0;
  VARIANT_BOOL visible = 0;
  ULONGLONG version = 0;
  BSTR text = NULL, bad;
  IErrorInfo* info = NULL;
  LPOLESTR names[1];
  char16_t volumeName[] = u"vOlUmE";
  DISPID id = 0;
  VARIANT argument, result;
  EXCEPINFO exception;

  /* Through the vtable. */
  CHECK(k->lpVtbl->put_Volume(k, 150) == S_OK);
  CHECK(k->lpVtbl->get_Volume(k, &volume) == S_OK && volume == 100);
  CHECK(k->lpVtbl->put_Visible(k, 2) == S_OK);
  CHECK(k->lpVtbl->get_Visible(k, &visible) == S_OK && visible == VARIANT_TRUE);
  CHECK(k->lpVtbl->get_Caption(k, &text) == S_OK && sameText(text, u"Kinoro"));
  FreeString(text);
  CHECK(k->lpVtbl->get_Version(k, &version) == S_OK && version == expectedVersion);
  bad = AllocString(u"stale"); /* an out parameter is overwritten, never freed */
  text = bad;
  CHECK(k->lpVtbl->get_URL(k, &text) == S_OK && text == NULL);
  FreeString(bad);
  CHECK(k->lpVtbl->Stop(k) == S_OK);
  bad = AllocString(u"http://example.com/");
  CHECK(k->lpVtbl->put_URL(k, bad) == E_FAIL);
  FreeString(bad);
  CHECK(TakeErrorInfo(0, &info) == S_OK && info != NULL);
  if (info) {
    CHECK(info->lpVtbl->GetDescription(info, &text) == S_OK && sameText(text, u"非法地址!"));
    FreeString(text);
    CHECK(info->lpVtbl->Release(info) == 0);
  }

  /* By name and DISPID. */
  names[0] = volumeName;
  CHECK(k->lpVtbl->GetIDsOfNames(k, &GUID_NULL, names, 1, 0, &id) == S_OK && id == 242);
  checkEveryRow(k);
  InitVariant(&argument);
  InitVariant(&result);
  argument.vt = VT_BSTR;
  argument.bstrVal = AllocString(u"37");
  CHECK(invoke(k, 242, DISPATCH_PROPERTYPUT, &argument, &result, NULL) == S_OK);
  CHECK(invoke(k, 242, DISPATCH_PROPERTYGET, NULL, &result, NULL) == S_OK && result.vt == VT_I4 &&
        result.lVal == 37);
  ClearVariant(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = AllocString(u"not a link");
  memset(&exception, 0, sizeof exception);
  CHECK(invoke(k, 240, DISPATCH_PROPERTYPUT, &argument, &result, &exception) == DISP_E_EXCEPTION);
  CHECK(sameText(exception.bstrDescription, u"非法地址!"));
  FreeString(exception.bstrDescription);
  FreeString(exception.bstrSource);
  ClearVariant(&argument);
}

static void checkSafetyAndBag(IKinoro* k) {
  IObjectSafety* safety = NULL;
  IPersistPropertyBag* persist = NULL;
  IPropertyBag bag = {&bagVtbl};
  DWORD supported = 0, enabled = 0;
  LONG volume = 0;
  BSTR caption = NULL;

  CHECK(k->lpVtbl->QueryInterface(k, &IID_IObjectSafety, (void**)&safety) == S_OK);
  if (safety) {
    CHECK(safety->lpVtbl->GetInterfaceSafetyOptions(safety, &IID_IDispatch, &supported, &enabled) ==
          S_OK);
    CHECK(supported == 3 && enabled == 0);
    CHECK(safety->lpVtbl->SetInterfaceSafetyOptions(safety, &IID_IDispatch, 3, 3) == S_OK);
    CHECK(safety->lpVtbl->GetInterfaceSafetyOptions(safety, &IID_IPersistPropertyBag, &supported,
                                                    &enabled) == S_OK &&
          enabled == 3);
    CHECK(safety->lpVtbl->GetInterfaceSafetyOptions(safety, &IID_IClassFactory, &supported,
                                                    &enabled) == E_NOINTERFACE);
    CHECK(supported == 0 && enabled == 0);
    safety->lpVtbl->Release(safety);
  }
  CHECK(k->lpVtbl->QueryInterface(k, &IID_IPersistPropertyBag, (void**)&persist) == S_OK);
  if (persist) {
    CHECK(persist->lpVtbl->Load(persist, &bag, NULL) == S_OK);
    persist->lpVtbl->Release(persist);
  }
  CHECK(k->lpVtbl->get_Volume(k, &volume) == S_OK && volume == 100);
  CHECK(k->lpVtbl->get_Caption(k, &caption) == S_OK && sameText(caption, u"Bag"));
  FreeString(caption);
}

static void checkRegistration(void* library, const char* libraryPath, const char* configDir) {
  DllRegisterServerFn registerServer;
  DllUnregisterServerFn unregisterServer;
  char hive[PATH_MAX], real[PATH_MAX], expected[PATH_MAX + 16];
  char* text;
  *(void**)&registerServer = dlsym(library, "DllRegisterServer");
  *(void**)&unregisterServer = dlsym(library, "DllUnregisterServer");
  snprintf(hive, sizeof hive, "%s/Nivra/registry/HKCR.reg", configDir);
  CHECK(realpath(libraryPath, real) != NULL);
  CHECK(registerServer && registerServer() == S_OK);
  text = readText(hive);
  CHECK(text != NULL);
  if (text) {
    snprintf(expected, sizeof expected, "@=\"%s\"", real);
    CHECK(
        strstr(
            text,
            "[HKEY_CLASSES_ROOT\\CLSID\\{7E27DAB6-C296-4561-A275-FFB7F34F35D7}\\InprocServer32]") !=
        NULL);
    CHECK(strstr(text, expected) != NULL);
    CHECK(strstr(text, "\"ThreadingModel\"=\"Apartment\"") != NULL);
    CHECK(strstr(text, "[HKEY_CLASSES_ROOT\\Kinoro.CoKinoro\\Clsid]") != NULL);
    CHECK(strstr(text, "@=\"205201\"") != NULL);
    free(text);
  }
  CHECK(unregisterServer && unregisterServer() == S_OK);
  text = readText(hive);
  CHECK(text != NULL);
  if (text) {
    CHECK(strstr(text, "7E27DAB6") == NULL);
    CHECK(strstr(text, "Kinoro.CoKinoro") == NULL);
    CHECK(strstr(text, "4345C111") == NULL);
    free(text);
  }
  unlink(hive);
}

/* ---- playback, with the host iterating GLib's default main context ---- */
typedef int (*ContextIterationFn)(void* context, int mayBlock);
static ContextIterationFn iterate;

static void nap(void) {
  struct timespec t = {0, 2000000};
  nanosleep(&t, NULL);
}

static double seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* Runs the library's work until the control's State is `state` (or `limit` seconds pass). */
static LONG pumpUntilState(IKinoro* k, LONG state, double limit) {
  double end = seconds() + limit;
  LONG now = -1;
  while (seconds() < end) {
    iterate(NULL, 0);
    if (k->lpVtbl->get_State(k, &now) == S_OK && now == state) return now;
    nap();
  }
  return now;
}

static void pumpFor(double limit) {
  double end = seconds() + limit;
  while (seconds() < end) {
    iterate(NULL, 0);
    nap();
  }
}

static int countEvent(const Sink* sink, DISPID id) {
  int i, n = 0;
  for (i = 0; i < sink->count; ++i) n += sink->received[i] == id;
  return n;
}

static void checkPlayback(IClassFactory* factory, const char* media) {
  IKinoro* k = NULL;
  IOleObject* ole = NULL;
  IOleInPlaceObject* inPlace = NULL;
  IConnectionPointContainer* container = NULL;
  IConnectionPoint* point = NULL;
  Sink sink = {{&sinkVtbl}, 1, {0}, 0};
  DWORD cookie = 0;
  HWND window = 0;
  RECT where = {0, 0, 480, 320};
  ULONG duration = 0;
  LONG volume = 0;
  VARIANT_BOOL visible = 0;
  BSTR path;
  char16_t wide[PATH_MAX];
  size_t i;
  void* glib = dlopen("libglib-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);

  CHECK(glib != NULL); /* loaded with the library */
  if (!glib) return;
  *(void**)&iterate = dlsym(glib, "g_main_context_iteration");
  CHECK(iterate != NULL);
  if (!iterate) return;

  CHECK(factory->lpVtbl->CreateInstance(factory, NULL, &IID_IKinoro, (void**)&k) == S_OK);
  if (!k) return;
  CHECK(k->lpVtbl->QueryInterface(k, &IID_IConnectionPointContainer, (void**)&container) == S_OK);
  if (container) {
    CHECK(container->lpVtbl->FindConnectionPoint(container, &DIID_IKinoroEvents, &point) == S_OK);
    container->lpVtbl->Release(container);
  }
  if (point) {
    CHECK(point->lpVtbl->Advise(point, (IUnknown*)&sink, &cookie) == S_OK);
    point->lpVtbl->Release(point);
  }

  /* Placed and shown as a window of its own (no host window): it has a native window. */
  CHECK(k->lpVtbl->QueryInterface(k, &IID_IOleObject, (void**)&ole) == S_OK);
  if (ole) {
    CHECK(ole->lpVtbl->DoVerb(ole, OLEIVERB_SHOW, NULL, NULL, 0, 0, &where) == S_OK);
    ole->lpVtbl->Release(ole);
  }
  CHECK(k->lpVtbl->QueryInterface(k, &IID_IOleInPlaceObject, (void**)&inPlace) == S_OK);
  if (inPlace) {
    CHECK(inPlace->lpVtbl->GetWindow(inPlace, &window) == S_OK && window != 0);
    where.right = 640;
    where.bottom = 400;
    CHECK(inPlace->lpVtbl->SetObjectRects(inPlace, &where, &where) == S_OK);
    inPlace->lpVtbl->Release(inPlace);
  }
  CHECK(k->lpVtbl->get_Visible(k, &visible) == S_OK && visible == VARIANT_TRUE);
  pumpFor(0.5);
  CHECK(countEvent(&sink, DISPID_OnPaint) > 0);

  /* The file plays, and the control pauses it at once behind its pre-roll page. */
  for (i = 0; media[i] && i + 1 < PATH_MAX; ++i) wide[i] = (char16_t)(unsigned char)media[i];
  wide[i] = 0;
  path = AllocString(wide);
  CHECK(k->lpVtbl->put_FileName(k, path) == S_OK);
  FreeString(path);
  CHECK(pumpUntilState(k, 2, 20.0) == 2);
  CHECK(k->lpVtbl->get_Duration(k, &duration) == S_OK && duration > 1000);
  CHECK(k->lpVtbl->put_Volume(k, 40) == S_OK);
  CHECK(k->lpVtbl->get_Volume(k, &volume) == S_OK && volume == 40);
  CHECK(k->lpVtbl->Stop(k) == S_OK);
  CHECK(pumpUntilState(k, 0, 5.0) == 0);
  printf("c_host: played %s (%lu ms), %d paint events\n", media, (unsigned long)duration,
         countEvent(&sink, DISPID_OnPaint));

  CHECK(k->lpVtbl->Release(k) == 0);
  CHECK(sink.count > 0 && sink.received[sink.count - 1] == DISPID_OnDestroy);
  CHECK(sink.refs == 1);
  pumpFor(0.2);
  dlclose(glib);
}

int main(int argc, char** argv) {
  void* library;
  DllGetClassObjectFn getClassObject;
  DllCanUnloadNowFn canUnloadNow;
  IClassFactory* factory = NULL;
  IKinoro* k = NULL;
  IUnknown* outer = NULL;
  IConnectionPointContainer* container = NULL;
  IConnectionPoint* point = NULL;
  Sink sink = {{&sinkVtbl}, 1, {0}, 0};
  DWORD cookie = 0;
  char configDir[] = "/tmp/kinoro-c-host-XXXXXX";
  char path[PATH_MAX];
  void* unused = (void*)1;
  unsigned major = 0, minor = 0;

  if ((argc != 3 && argc != 4) || sscanf(argv[2], "%u.%u", &major, &minor) != 2) {
    fprintf(stderr, "usage: c_host <libkinoro.so> <file version> [media file]\n");
    return 2;
  }
  if (!mkdtemp(configDir)) return 2;
  setenv("XDG_CONFIG_HOME", configDir, 1);

  library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    fprintf(stderr, "dlopen: %s\n", dlerror());
    return 1;
  }
  *(void**)&getClassObject = dlsym(library, "DllGetClassObject");
  *(void**)&canUnloadNow = dlsym(library, "DllCanUnloadNow");
  *(void**)&AllocString = dlsym(library, "SysAllocString");
  *(void**)&FreeString = dlsym(library, "SysFreeString");
  *(void**)&StringLen = dlsym(library, "SysStringLen");
  *(void**)&InitVariant = dlsym(library, "VariantInit");
  *(void**)&ClearVariant = dlsym(library, "VariantClear");
  *(void**)&TakeErrorInfo = dlsym(library, "GetErrorInfo");
  if (!getClassObject || !canUnloadNow || !AllocString || !FreeString || !StringLen ||
      !InitVariant || !ClearVariant || !TakeErrorInfo) {
    fprintf(stderr, "an export is missing\n");
    return 1;
  }

  /* The class object. */
  CHECK(getClassObject(&IID_IDispatch, &IID_IClassFactory, &unused) == CLASS_E_CLASSNOTAVAILABLE);
  CHECK(unused == NULL);
  CHECK(getClassObject(&CLSID_CoKinoro, &IID_IDispatch, &unused) == E_NOINTERFACE);
  CHECK(getClassObject(&CLSID_CoKinoro, &IID_IClassFactory, (void**)&factory) == S_OK);
  if (!factory) return 1;
  CHECK(factory->lpVtbl->LockServer(factory, 1) == S_OK);
  CHECK(canUnloadNow() == S_FALSE);
  CHECK(factory->lpVtbl->LockServer(factory, 0) == S_OK);
  CHECK(canUnloadNow() == S_OK);
  CHECK(factory->lpVtbl->CreateInstance(factory, (IUnknown*)factory, &IID_IUnknown,
                                        (void**)&outer) == CLASS_E_NOAGGREGATION);
  CHECK(factory->lpVtbl->CreateInstance(factory, NULL, &IID_IKinoro, (void**)&k) == S_OK);
  if (!k) return 1;
  CHECK(canUnloadNow() == S_FALSE);

  /* Events: connect a sink. */
  CHECK(k->lpVtbl->QueryInterface(k, &IID_IConnectionPointContainer, (void**)&container) == S_OK);
  if (container) {
    CHECK(container->lpVtbl->FindConnectionPoint(container, &DIID_IKinoroEvents, &point) == S_OK);
    container->lpVtbl->Release(container);
  }
  if (point) {
    CHECK(point->lpVtbl->Advise(point, (IUnknown*)&sink, &cookie) == S_OK && cookie != 0);
    point->lpVtbl->Release(point);
  }

  checkMembers(k, ((ULONGLONG)major << 16) | minor);
  checkSafetyAndBag(k);

  /* The last release destroys the control, which tells the sink and lets it go. */
  CHECK(k->lpVtbl->Release(k) == 0);
  CHECK(sink.count == 1 && sink.received[0] == DISPID_OnDestroy);
  CHECK(sink.refs == 1);
  if (argc == 4) checkPlayback(factory, argv[3]);
  factory->lpVtbl->Release(factory);
  CHECK(canUnloadNow() == S_OK);

  checkRegistration(library, argv[1], configDir);
  dlclose(library);
  snprintf(path, sizeof path, "%s/Nivra/registry", configDir);
  rmdir(path);
  snprintf(path, sizeof path, "%s/Nivra", configDir);
  rmdir(path);
  rmdir(configDir);
  if (failures)
    fprintf(stderr, "%d check(s) failed\n", failures);
  else
    printf("c_host: all checks passed\n");
  return failures ? 1 : 0;
}
