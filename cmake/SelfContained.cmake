# A shared object that hosts can load on older systems: the C++ runtime and the unwinder are
# linked in (hosts bring their own, of other versions), and every C library entry it calls is
# one that glibc FERROVANE_GLIBC_FLOOR already had. The newer entries that the runtime and the
# libstdc++ headers call are redirected to plugin/GlibcFloor.cpp.
set(FERROVANE_GLIBC_FLOOR 2.17)
set(FERROVANE_GLIBC_WRAPPED pthread_create pthread_join pthread_detach pthread_once
  __pthread_key_create pthread_sigmask pthread_cond_clockwait _dl_find_object
  __libc_single_threaded dlopen dlsym dlclose dladdr)

add_library(ferrovane_glibc_floor OBJECT ${PROJECT_SOURCE_DIR}/plugin/GlibcFloor.cpp)
target_include_directories(ferrovane_glibc_floor PUBLIC ${PROJECT_SOURCE_DIR}/plugin)
# Only for objects with the runtime linked in: it frees that runtime's memory at unload.
add_library(ferrovane_linked_runtime OBJECT ${PROJECT_SOURCE_DIR}/plugin/LinkedRuntime.cpp)

# Sanitized builds keep the shared runtime: the sanitizers replace parts of it.
function(ferrovane_self_contained target)
  if(FERROVANE_SANITIZE)
    return()
  endif()
  list(TRANSFORM FERROVANE_GLIBC_WRAPPED PREPEND "-Wl,--wrap=" OUTPUT_VARIABLE wraps)
  target_link_libraries(${target} PRIVATE ferrovane_glibc_floor ferrovane_linked_runtime)
  # Nothing of the linked archives is exported: a host's own runtime must neither see ours nor
  # replace it. --gc-sections then drops the parts nothing calls (random_device, for one, would
  # need glibc 2.36). Before glibc 2.34 the old entries live in libpthread.so.0 and libdl.so.2,
  # empty since, so the linker must record them even though it resolves nothing there.
  target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--exclude-libs,ALL
    -Wl,--gc-sections ${wraps}
    -Wl,--push-state,--no-as-needed -l:libpthread.so.0 -l:libdl.so.2 -Wl,--pop-state)
endfunction()
