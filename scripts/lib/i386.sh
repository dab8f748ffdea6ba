# Whether this machine runs 32-bit x86 code (sourced). Kernels built without
# IA-32 emulation refuse any i386 program ("Exec format error"), and so
# every 32-bit Wine. Told by running the smallest i386 program there is
# (exit(0) by int 0x80), which needs no 32-bit library; run from build/, as
# a temporary folder may forbid programs.
# TESSVANE_I386=0 or 1 overrides it, to try the other path.
runs_i386_code() {
  case ${TESSVANE_I386:-} in
    0) return 1 ;;
    1) return 0 ;;
  esac
  local probe status=0
  mkdir -p build
  probe=$(mktemp build/i386-probe.XXXXXX)
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=1
  rm -f "$probe"
  return $status
}
