# Sourced by the tests' shell scripts: a scratch folder in $work that goes when the script
# ends, and fail, which says what went wrong and ends the script with status 1.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
