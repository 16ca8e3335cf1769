-- morvcfg-check --lsp driven by a real editor: headless Neovim as the LSP client.
--   MORVCFG_CHECK=<morvcfg-check> MORVCFG_FILE=<a description file> \
--     nvim --headless -u NONE -c 'luafile tests/nvim/lsp_test.lua'
-- The file (tests/nvim/board.cfg) holds an indented MORV_DNS (line 3) and a capital 0X after
-- Japanese text (line 4); the test edits the buffer, never the file.
-- Exits 0 when every check passes, 1 at the first that fails.
local function fail(what)
  io.stderr:write('FAILED: ' .. what .. '\n')
  vim.cmd('cquit! 1')
end
local function check(condition, what)
  if not condition then fail(what) end
end

local server = os.getenv('MORVCFG_CHECK')
local file = os.getenv('MORVCFG_FILE')
vim.cmd('edit ' .. vim.fn.fnameescape(file))
local buffer = vim.api.nvim_get_current_buf()
local client_id = vim.lsp.start_client({
  name = 'morvcfg',
  cmd = { server, '--lsp' },
  root_dir = vim.fn.fnamemodify(file, ':p:h'),
})
check(client_id ~= nil, 'the server did not start')
vim.lsp.buf_attach_client(buffer, client_id)
local client = vim.lsp.get_client_by_id(client_id)

local function by_code(code)
  for _, diagnostic in ipairs(vim.diagnostic.get(buffer)) do
    if diagnostic.code == code then return diagnostic end
  end
end

-- Diagnostics, at the right columns: Neovim turns the server's UTF-16 positions into bytes.
check(vim.wait(20000, function() return by_code('device-define') ~= nil and by_code('not-directive') ~= nil end),
      'no diagnostics arrived')
local capital = by_code('device-define')
check(capital.lnum == 3, 'device-define on line ' .. capital.lnum)
-- "MORV_DEV_ADR(" is 13 bytes, "ネットワーク" 18 and ", " 2: 0X300 starts at byte 33.
check(capital.col == 33 and capital.end_col == 38,
      'device-define at bytes ' .. capital.col .. '-' .. capital.end_col .. ', not 33-38')
check(capital.source == 'morvcfg-check', 'source is ' .. tostring(capital.source))
local indented = by_code('not-directive')
check(indented.lnum == 2 and indented.col == 2, 'not-directive at ' .. indented.lnum .. ':' .. indented.col)

-- Hover on the gateway line shows the value the firmware gets, and where it comes from.
local hover = client.request_sync('textDocument/hover', {
  textDocument = { uri = vim.uri_from_bufnr(buffer) },
  position = { line = 4, character = 2 },
}, 10000, buffer)
check(hover and hover.result, 'no hover')
local shown = hover.result.contents.value
check(shown:find('GateWay | 10.20.30.1 | 10.20.40.1 | line 5, moved into the subnet set at line', 1, true),
      'hover without the effective value and its origin: ' .. shown)
check(shown:find('moved into this host', 1, true), 'hover without the reason: ' .. shown)

-- Completion of the keywords at the start of a line.
local completion = client.request_sync('textDocument/completion', {
  textDocument = { uri = vim.uri_from_bufnr(buffer) },
  position = { line = 5, character = 0 },
}, 10000, buffer)
check(completion and completion.result, 'no completion')
local labels = {}
for _, item in ipairs(completion.result.items or completion.result) do labels[item.label] = true end
check(labels['MORV_IFCFG'] and labels['MORV_MPF_VERY_SMALL'] and labels['MORV_POP3CFG'], 'keywords missing')

-- The quick fix of the indented directive, applied: its warning goes.
local actions = client.request_sync('textDocument/codeAction', {
  textDocument = { uri = vim.uri_from_bufnr(buffer) },
  range = { start = { line = 2, character = 2 }, ['end'] = { line = 2, character = 2 } },
  context = { diagnostics = {} },
}, 10000, buffer)
check(actions and actions.result and #actions.result > 0, 'no code action')
local fix
for _, action in ipairs(actions.result) do
  if action.kind == 'quickfix' and action.isPreferred then fix = action end
end
check(fix ~= nil, 'no preferred quick fix')
vim.lsp.util.apply_workspace_edit(fix.edit, client.offset_encoding)
check(vim.api.nvim_buf_get_lines(buffer, 2, 3, false)[1] == 'MORV_DNS(10.20.40.2);', 'the fix did not apply')
check(vim.wait(20000, function() return by_code('not-directive') == nil end), 'the warning stayed after its fix')
check(by_code('device-define') ~= nil, 'the other warning went too')

-- Shut down: shutdown, then exit.
client.stop()
check(vim.wait(20000, function() return client.is_stopped() end), 'the server did not stop')
io.stdout:write('neovim: diagnostics, hover, completion and a code action checked\n')
vim.cmd('qall!')
