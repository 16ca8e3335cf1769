#!/usr/bin/env bash
# The README's review recipes as printed: its .gitattributes line and git config command in a
# scratch repository, where `git diff` and `git log -p` then show what the firmware gets beside the
# text; and its GitHub and GitLab steps that compare a branch's board file with the target branch's,
# with the npm package of the node forms in place of the published one.
# Usage: readme_review_test.sh <README.md> <morvcfg-<version>.tgz> <folder of the native morvcfg-check>
set -euo pipefail
# shellcheck source=tests/readme_blocks.sh
. "$(dirname "$0")/readme_blocks.sh" "$@"

export PATH="$native:$PATH" GIT_CONFIG_NOSYSTEM=1 HOME="$work/home" GIT_PAGER=cat
mkdir -p "$HOME" "$work/repo"
git config --global user.email ci@example.org && git config --global user.name CI
git config --global init.defaultBranch main
cd "$work/repo" && git init -q .

# The driver, as the README sets it up.
block '# .gitattributes' > .gitattributes
[ -s .gitattributes ] || fail "no .gitattributes block in $readme"
block '# once in each clone (or with --global)' > "$work/config.sh"
grep -q "textconv" "$work/config.sh" || fail "no git config block in $readme"
bash -e "$work/config.sh"

printf '/* board */\r\nMORV_IFCFG(10.1.2.20, 255.255.255.0);\r\nMORV_DEFGW(10.1.2.1);\r\nMORV_DNS(10.1.2.53);\r\nMORV_DEV_ADR(uart0, 0x40004400);\r\n' > board.cfg
git add .gitattributes board.cfg && git commit -q -m board

# A comment added above every directive: the text changes, what the firmware gets does not.
sed -i '1s|^|/* revision B */\r\n|' board.cfg
git diff > "$work/log"
grep -q '^+/\* revision B \*/' "$work/log" || fail "git diff does not show the text"
grep -q '^[-+][A-Za-z]' <(grep -v '^+/\* revision B' "$work/log" | grep -v '^[-+][-+]') &&
  fail "a comment changed rows of the configuration"
git commit -q -am comment

# A new subnet: the text diff shows one line, the configuration every value it moves.
sed -i 's|^MORV_DEV_ADR|MORV_IFCFG(10.1.3.20, 255.255.255.0);\r\nMORV_DEV_ADR|' board.cfg
git diff > "$work/log"
grep -q '^+MORV_IFCFG(10.1.3.20, 255.255.255.0);' "$work/log" || fail "git diff does not show the text"
grep -Eq '^\+GateWay +10\.1\.3\.1 +"MORV_DEFGW\(10\.1\.2\.1\);", moved into the subnet set at "MORV_IFCFG\(10\.1\.3\.20' "$work/log" ||
  fail "git diff does not show the gateway moved"
grep -Eq '^-GateWay +10\.1\.2\.1 ' "$work/log" || fail "git diff does not show the gateway before"
git commit -q -am subnet
git log -p -1 > "$work/log"
grep -Eq '^\+DomainNameServer +10\.1\.3\.53 ' "$work/log" || fail "git log -p does not show the name server moved"
echo "the README's diff driver shows what the firmware gets in git diff and git log -p, and a comment changes no row"

# The review steps, on a branch that changes the gateway, against the branch it came from.
git clone -q --bare . "$work/origin.git" && git remote add origin "$work/origin.git" && git fetch -q origin
git checkout -q -b gateway
sed -i 's|MORV_DEFGW(10.1.2.1)|MORV_DEFGW(10.1.3.254)|' board.cfg && git commit -q -am gateway
for recipe in '# .github/workflows/morvcfg-compare.yml' '# .gitlab-ci.yml (merge requests)'; do
  block "$recipe" | commands | sed "s|morvcfg@[0-9.]*|$tarball|" > "$work/commands.sh"
  grep -q -- "--compare" "$work/commands.sh" || fail "$recipe runs no --compare"
  : > "$work/summary.md"
  GITHUB_BASE_REF=main CI_MERGE_REQUEST_TARGET_BRANCH_NAME=main GITHUB_STEP_SUMMARY="$work/summary.md" \
    bash -eo pipefail "$work/commands.sh" > "$work/log" 2>&1 || fail "$recipe failed"
  cat "$work/log" "$work/summary.md" > "$work/both"
  grep -qF '| `GateWay` | 10.1.3.1 | 10.1.3.254 | board.cfg:4 |' "$work/both" || { cp "$work/both" "$work/log"; fail "$recipe: no row for the gateway"; }
  grep -qF '#### What the firmware gets: main:board.cfg → board.cfg' "$work/both" || { cp "$work/both" "$work/log"; fail "$recipe: the title does not name the target branch's copy"; }
done
echo "the README's review steps print what the branch changes in the firmware, as Markdown"
